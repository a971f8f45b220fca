// The commands file: what it holds survives a write and a read, bad lines cost only
// themselves, and a file that is no text is reported, not guessed at.

#include <gtest/gtest.h>

#include <fstream>

#include "send/commands_file.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace {

std::vector<Command> Awkward() {
  return {
      {u"AT version", u"AT+GMR", false, LineEnd::CrLf, std::nullopt},
      // Bars, backslashes and line breaks in every field that can hold them.
      {u"a|b\\c", u"x|y\\z\r\nC:\\temp", false, std::nullopt, AppendCheck::Crc32},
      {u"", u"01 03 00 00 00 01", true, LineEnd::None, AppendCheck::Crc16Modbus},
      {u"  spaced  ", u"  keeps its blanks  ", false, LineEnd::Lf, AppendCheck::None},
      {u"中文", u"读取 \\r 寄存器", false, std::nullopt, std::nullopt},
  };
}

void WriteBytes(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

TEST(CommandsFile, EveryCommandAndTheSequenceSurviveTheFileOnDisk) {
  testsupport::TempDir folder;
  const auto file = folder.Path() / "Commands.ini";
  const SequenceSettings sequence{50, 0};
  ASSERT_TRUE(WriteCommandsFile(file, FormatCommands(Awkward(), sequence)));
  const CommandsFileRead read = ReadCommandsFile(file);
  ASSERT_EQ(read.state, CommandsFileState::Read);
  const std::vector<Command> expected = Awkward();
  EXPECT_EQ(read.text.commands, expected);
  EXPECT_EQ(read.text.sequence.delayMs, 50);
  EXPECT_EQ(read.text.sequence.repeat, 0);
  EXPECT_TRUE(read.text.skippedLines.empty());

  // Lines a rewrite keeps come back as comments, and are skipped no more.
  const std::u16string kept = u"garbage that was in the file";
  const CommandsText again = ParseCommands(FormatCommands(expected, sequence, std::vector<std::u16string>{kept}));
  EXPECT_EQ(again.commands, expected);
  EXPECT_TRUE(again.skippedLines.empty());
}

TEST(CommandsFile, BadLinesAreSkippedByNumberAndTheGoodOnesLoad) {
  const CommandsText parsed = ParseCommands(
      u"stray line before any section\r\n"                   // 1
      u"[Sequence]\r\n"                                     // 2
      u"Delay=abc\r\n"                                      // 3 not a number
      u"Repeat=4\r\n"                                       // 4
      u"[Commands]\r\n"                                     // 5
      u"1=good|Text|CR|None|AT\r\n"                         // 6
      u"2=bad kind|Binary|CR|None|AT\r\n"                   // 7
      u"3=bad end|Text|CRCR|None|AT\r\n"                    // 8
      u"4=bad check|Hex|None|CRC-64|01\r\n"                 // 9
      u"5=too few|Text|CR\r\n"                              // 10
      u"6=no text|Text|CR|None|\r\n"                        // 11
      u"no equals sign\r\n"                                 // 12
      u"; a comment\r\n"                                    // 13
      u"\r\n"                                               // 14
      u"7=case and blanks| hex |cr lf| as send box |0A\r\n"  // 15
      u"[Other]\r\n"                                        // 16
      u"8=in another section|Text|CR|None|AT\n");           // 17
  EXPECT_EQ(parsed.skippedLines, (std::vector<int>{1, 3, 7, 8, 9, 10, 11, 12, 16, 17}));
  ASSERT_EQ(parsed.skippedText.size(), parsed.skippedLines.size());
  EXPECT_EQ(parsed.skippedText[0], u"stray line before any section");
  ASSERT_EQ(parsed.commands.size(), 2u);
  EXPECT_EQ(parsed.commands[0], (Command{u"good", u"AT", false, LineEnd::Cr, AppendCheck::None}));
  EXPECT_EQ(parsed.commands[1], (Command{u"case and blanks", u"0A", true, LineEnd::CrLf, std::nullopt}));
  EXPECT_EQ(parsed.sequence.delayMs, SequenceSettings{}.delayMs);
  EXPECT_EQ(parsed.sequence.repeat, 4);
}

TEST(CommandsFile, AFileThatIsNoListIsUnreadableAndAMissingOneIsEmpty) {
  testsupport::TempDir folder;
  EXPECT_EQ(ReadCommandsFile(folder.Path() / "none.ini").state, CommandsFileState::Missing);
  EXPECT_EQ(ReadCommandsFile(folder.Path()).state, CommandsFileState::Unreadable) << "a folder";
  const auto large = folder.Path() / "large.ini";
  WriteBytes(large, std::string((1 << 20) + 1, ';'));
  EXPECT_EQ(ReadCommandsFile(large).state, CommandsFileState::Unreadable);
}

}  // namespace
