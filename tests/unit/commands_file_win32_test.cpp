#include <gtest/gtest.h>

#include <fstream>

#include "send/commands_file.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace {

TEST(CommandsFileWin32, IsUtf16WithItsMarkAndReadsOlderAnsiAndUtf8Files) {
  testsupport::TempDir folder;
  const auto file = folder.Path() / "Commands.ini";
  ASSERT_TRUE(WriteCommandsFile(file, FormatCommands(std::vector<Command>{{u"中", u"文", false, {}, {}}}, {})));
  const std::string bytes = testsupport::ReadFileBytes(file);
  ASSERT_TRUE(bytes.starts_with("\xFF\xFE"));
  const std::u16string text = testsupport::FromUtf16LeBytes(std::string_view(bytes).substr(2));
  EXPECT_NE(text.find(u"1=中|Text|As send box|As send box|文\r\n"), std::u16string::npos);
  EXPECT_EQ(ReadCommandsFile(file).text.commands.size(), 1u);

  std::ofstream(file, std::ios::binary) << "[Commands]\r\n1=x|Text|CR|None|AT\r\n";
  EXPECT_EQ(ReadCommandsFile(file).text.commands.size(), 1u) << "ANSI";
  std::ofstream(file, std::ios::binary) << "\xEF\xBB\xBF[Commands]\r\n1=\xE4\xB8\xAD|Text|CR|None|AT\r\n";
  const CommandsFileRead utf8 = ReadCommandsFile(file);
  ASSERT_EQ(utf8.text.commands.size(), 1u);
  EXPECT_EQ(utf8.text.commands[0].name, u"中");
}

}  // namespace
