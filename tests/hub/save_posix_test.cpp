#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <iterator>
#include <string>

#include "hub/save_fixture.h"
#include "support/file_bytes.h"
#include "support/file_size_limit.h"

namespace fs = std::filesystem;

TEST_F(SaveTest, SavingOverALinkWritesItsTargetAndKeepsItsMode) {
  Start();
  const fs::path kept = folder.Path() / "kept";
  fs::create_directory(kept);
  const fs::path target = kept / "log.txt";
  std::ofstream(target) << "old content";
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  const fs::path link = folder.Path() / "log.txt";
  fs::create_symlink(target, link);

  Receive("new");
  SaveAs(link);
  EXPECT_TRUE(toolkit.messageBoxes.empty());
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(testsupport::ReadFileBytes(target), "new\r\n");
  EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640));
  EXPECT_EQ(std::distance(fs::directory_iterator(kept), fs::directory_iterator()), 1);  // no temporary left
}

TEST_F(SaveTest, ASaveThatFillsTheDiskIsReportedAndLeavesTheOldFileAlone) {
  Start();
  const fs::path file = folder.Path() / "out" / "log.txt";
  fs::create_directory(file.parent_path());
  std::ofstream(file) << "old content";
  Receive(std::string(500, 'x'));
  Receive(std::string(500, 'y'));
  testsupport::WithFileSizeLimit(600, [&] {
    SaveAs(file);
    return true;
  });
  EXPECT_EQ(toolkit.messageBoxes.size(), 1u);
  EXPECT_EQ(testsupport::ReadFileBytes(file), "old content");
  EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()), 1);
}
