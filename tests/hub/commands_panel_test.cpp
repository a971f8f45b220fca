// The commands list, its editor and its file, on the headless window.

#include <filesystem>
#include <fstream>

#include "hub/commands_fixture.h"
#include "support/file_bytes.h"

namespace {

class CommandsPanelTest : public HubTest {
 protected:
  std::vector<Command> Saved() { return ReadCommandsFile(CommandsFile(folder)).text.commands; }
  void WriteCommands(const std::string& content) { std::ofstream(CommandsFile(folder), std::ios::binary) << content; }
};

TEST_F(CommandsPanelTest, AddApplyMoveAndRemoveKeepTheFileInStepAndItLoadsAtStart) {
  Start();
  EXPECT_EQ(ComboItems(IDC_CMD_LINEEND), (std::vector<std::u16string>{u"As send box", u"None", u"CR", u"LF", u"CR LF"}));
  EXPECT_EQ(ComboItems(IDC_CMD_APPEND).size(), 7u);
  EXPECT_EQ(Text(IDC_CMD_APPEND), u"As send box");

  AddCommand(W(), {u"empty", u"", false, 0, 0});
  EXPECT_EQ(MessageTexts(), std::vector<std::u16string>{u"A command needs a text to send."});
  EXPECT_TRUE(ListItems(W()).empty());
  EXPECT_FALSE(std::filesystem::exists(CommandsFile(folder)));

  AddCommand(W(), {u"version", u"AT+GMR", false, 4, 0});
  AddCommand(W(), {u"", u"01 03 00 00 00 01", true, 1, 4});
  EXPECT_EQ(ListItems(W()), (std::vector<std::u16string>{u"F1  version", u"F2  01 03 00 00 00 01"}));
  EXPECT_EQ(W().ListGetCurSel(IDC_CMD_LIST), 1);
  EXPECT_TRUE(W().IsEnabled(IDC_CMD_UP));
  EXPECT_FALSE(W().IsEnabled(IDC_CMD_DOWN));
  EXPECT_EQ(Saved()[1], (Command{u"", u"01 03 00 00 00 01", true, LineEnd::None, AppendCheck::Crc16Modbus}));

  W().PickListItem(IDC_CMD_LIST, 0);
  EXPECT_EQ(Text(IDC_CMD_TEXT), u"AT+GMR") << "the editor shows the selected command";
  EXPECT_EQ(Text(IDC_CMD_LINEEND), u"CR LF");
  W().Replace(IDC_CMD_NAME, u"reset");
  W().Replace(IDC_CMD_TEXT, u"AT+RST");
  W().Click(IDC_CMD_APPLY);
  W().Click(IDC_CMD_DOWN);
  EXPECT_EQ(ListItems(W())[1], u"F2  reset");
  EXPECT_EQ(W().ListGetCurSel(IDC_CMD_LIST), 1) << "the selection moves with the command";
  EXPECT_EQ(Saved().size(), 2u);
  EXPECT_EQ(Saved()[1].text, u"AT+RST");

  dlg.reset();
  Start(936);
  EXPECT_EQ(ListItems(W()), (std::vector<std::u16string>{u"F1  01 03 00 00 00 01", u"F2  reset"}));
  EXPECT_EQ(Text(IDC_CMD_RUN), u"运行");
  EXPECT_FALSE(W().IsEnabled(IDC_CMD_REMOVE)) << "nothing selected at start";
  W().PickListItem(IDC_CMD_LIST, 0);
  W().Click(IDC_CMD_REMOVE);
  EXPECT_EQ(ListItems(W()), std::vector<std::u16string>{u"F1  reset"});
  EXPECT_EQ(Saved().size(), 1u);
  EXPECT_EQ(MessageTexts().size(), 1u) << "no message but the first";
}

TEST_F(CommandsPanelTest, ADamagedFileLoadsItsGoodLinesSaysOnceWhichWereSkippedAndKeepsThem) {
  WriteCommands("[Commands]\n1=ok|Text|CR|None|AT\n2=broken\n3=also ok|Hex|None|XOR8|01\n[Nonsense]\n");
  Start();
  ASSERT_EQ(MessageTexts().size(), 1u);
  EXPECT_EQ(MessageTexts()[0], CommandsFile(folder).u16string() + u": lines 3, 5 are not commands and were skipped.");
  EXPECT_EQ(ListItems(W()), (std::vector<std::u16string>{u"F1  ok", u"F2  also ok"}));

  AddCommand(W(), {u"new", u"AT+NEW", false, 0, 0});
  EXPECT_EQ(Saved().size(), 3u);
  dlg.reset();
  toolkit.messageBoxes.clear();
  Start();
  EXPECT_TRUE(MessageTexts().empty()) << "the skipped lines are comments now";
  EXPECT_EQ(ListItems(W()).size(), 3u);
}

TEST_F(CommandsPanelTest, AFileThatCannotBeWrittenSaysSoOnceAndTheListStaysWhole) {
  Start();
  // Root writes into any folder, so a folder takes the file's place: no rename replaces it.
  std::filesystem::create_directories(CommandsFile(folder) / "in the way");
  AddCommand(W(), {u"one", u"AT", false, 0, 0});
  AddCommand(W(), {u"two", u"AT+2", false, 0, 0});
  ASSERT_EQ(MessageTexts().size(), 1u);
  EXPECT_EQ(MessageTexts()[0].rfind(u"The commands cannot be saved to " + CommandsFile(folder).u16string(), 0), 0u);
  EXPECT_EQ(ListItems(W()), (std::vector<std::u16string>{u"F1  one", u"F2  two"}));

  // Export still works, and once the way is clear the next change saves again.
  toolkit.QueueFileDialogAnswer(FileDialogResult{(folder.Path() / "out.ini").u16string(), u"out.ini"});
  W().Click(IDC_CMD_EXPORT);
  EXPECT_EQ(ReadCommandsFile(folder.Path() / "out.ini").text.commands.size(), 2u);
  std::filesystem::remove_all(CommandsFile(folder));
  W().PickListItem(IDC_CMD_LIST, 1);
  W().Click(IDC_CMD_UP);
  EXPECT_EQ(Saved().size(), 2u);
  EXPECT_EQ(MessageTexts().size(), 1u);
}

TEST_F(CommandsPanelTest, AnUnreadableFileIsLeftAloneAndImportAddsWhatAFileHolds) {
  // A folder of that name is unreadable on every platform (the bytes of other text files
  // differ: UTF-8 on Linux, any ANSI text on Windows).
  std::filesystem::create_directories(CommandsFile(folder) / "kept");
  Start();
  ASSERT_EQ(MessageTexts().size(), 1u);
  EXPECT_NE(MessageTexts()[0].find(u"cannot be read"), std::u16string::npos);

  const auto imported = folder.Path() / "import.ini";
  std::ofstream(imported, std::ios::binary) << "[Commands]\n1=a|Text|CR|None|AT\n2=b|Text|LF|None|AT+B\nx\n";
  toolkit.QueueFileDialogAnswer(FileDialogResult{imported.u16string(), u"import.ini"});
  W().Click(IDC_CMD_IMPORT);
  EXPECT_EQ(ListItems(W()), (std::vector<std::u16string>{u"F1  a", u"F2  b"}));
  EXPECT_EQ(MessageTexts().back(), imported.u16string() + u": lines 4 are not commands and were skipped.");
  EXPECT_TRUE(std::filesystem::is_directory(CommandsFile(folder) / "kept")) << "the unreadable file is not changed";
  EXPECT_FALSE(toolkit.fileDialogRequests.back().save);

  toolkit.QueueFileDialogAnswer(FileDialogResult{(folder.Path() / "missing.ini").u16string(), u"missing.ini"});
  W().Click(IDC_CMD_IMPORT);
  EXPECT_EQ(MessageTexts().back(), u"The file " + (folder.Path() / "missing.ini").u16string() + u" cannot be read.");
  EXPECT_EQ(ListItems(W()).size(), 2u);
}

TEST_F(CommandsPanelTest, RunSaysWhyWhenThereIsNothingToRun) {
  Start();
  W().Click(IDC_CMD_RUN);
  EXPECT_EQ(MessageTexts(), std::vector<std::u16string>{u"There are no commands to run."});
  EXPECT_TRUE(W().IsEnabled(IDC_CMD_RUN));
}

}  // namespace
