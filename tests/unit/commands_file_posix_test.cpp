#include <gtest/gtest.h>

#include <fstream>

#include "send/commands_file.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace {

TEST(CommandsFilePosix, IsUtf8AndBytesThatAreNotAreUnreadable) {
  testsupport::TempDir folder;
  const auto file = folder.Path() / "Commands.ini";
  ASSERT_TRUE(WriteCommandsFile(file, FormatCommands(std::vector<Command>{{u"中", u"文", false, {}, {}}}, {})));
  const std::string bytes = testsupport::ReadFileBytes(file);
  EXPECT_NE(bytes.find("1=\xE4\xB8\xAD|Text|As send box|As send box|\xE6\x96\x87\n"), std::string::npos) << bytes;
  EXPECT_FALSE(bytes.starts_with("\xEF\xBB\xBF"));

  std::ofstream(file, std::ios::binary) << "[Commands]\n1=x|Text|CR|None|\xC3\x28\n";
  EXPECT_EQ(ReadCommandsFile(file).state, CommandsFileState::Unreadable);
  std::ofstream(file, std::ios::binary) << "\xEF\xBB\xBF[Commands]\n1=x|Text|CR|None|AT\n";
  EXPECT_EQ(ReadCommandsFile(file).text.commands.size(), 1u) << "a UTF-8 mark is skipped";
}

}  // namespace
