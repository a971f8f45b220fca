#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/file_replace.h"
#include "platform/win32/win32_api.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

std::ptrdiff_t Entries(const fs::path& folder) {
  return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
}

// Wine makes no symbolic links, so replacing through one is tested on POSIX only.
TEST(FileReplaceTest, AFileKeepsItsAttributesAndARefusedReplaceLeavesItWhole) {
  testsupport::TempDir folder;
  const fs::path file = folder.Path() / "log.txt";
  std::ofstream(file) << "old content";
  ASSERT_TRUE(::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(platform::ReplaceFileContent(file, "new"));
  EXPECT_EQ(testsupport::ReadFileBytes(file), "new");
  EXPECT_NE(::GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
  EXPECT_EQ(Entries(folder.Path()), 1);

  ASSERT_TRUE(::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(platform::ReplaceFileContent(file, "newer"));
  EXPECT_EQ(testsupport::ReadFileBytes(file), "new");
  EXPECT_EQ(Entries(folder.Path()), 1);  // no temporary left
  ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);

  EXPECT_TRUE(platform::ReplaceFileContent(folder.Path() / "fresh.txt", "first"));
  EXPECT_EQ(testsupport::ReadFileBytes(folder.Path() / "fresh.txt"), "first");
}

}  // namespace
