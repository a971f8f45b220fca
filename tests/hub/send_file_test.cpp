#include <gtest/gtest.h>

#include <filesystem>

#include "hub/send_file_fixture.h"
#include "support/file_bytes.h"

namespace {

std::string Utf16LeWithMark(std::u16string_view text) { return "\xFF\xFE" + testsupport::Utf16LeBytes(text); }

}  // namespace

TEST_F(SendFileTest, AnAnsiFileArrivesWithLfLineEndsAndCountsInTx) {
  StartOpen();
  // Numbered lines, with a "\r\n" cut by the first 1024-byte boundary and a "\r\r\n" by the
  // second.
  std::string file;
  for (int line = 0; file.size() < 3000; ++line) file += "line " + std::to_string(line) + " of the file\r\n";
  file.resize(3000);
  file.replace(1023, 2, "\r\n");
  file.replace(2046, 3, "\r\r\n");
  const auto path = MakeFile("data/a.txt", file);
  const std::u16string folderBefore = dlg->Folder();

  Choose(path);
  const auto expected = Reduced(1252, text::FromUtf8(file));
  EXPECT_EQ(pty.ReadExactly(expected.size()), expected);
  ASSERT_TRUE(PumpUntilFilesDone());
  EXPECT_EQ(Text(IDC_TX_COUNT), u"TX:" + text::Decimal(expected.size()));
  EXPECT_EQ(ComboItems(IDC_FILE_HISTORY), std::vector<std::u16string>{u"a.txt"});
  EXPECT_EQ(W().ComboGetCurSel(IDC_FILE_HISTORY), 0);

  ASSERT_EQ(toolkit.fileDialogRequests.size(), 1u);
  const auto& request = toolkit.fileDialogRequests[0];
  EXPECT_FALSE(request.save);
  EXPECT_EQ(request.initialPath, folderBefore);
  EXPECT_EQ(request.filter, u"Text Files(*.txt)|*.txt||");
  EXPECT_TRUE(request.fileMustExist);
  // The folder is remembered, also across a restart.
  const std::u16string chosenFolder = Folder() + u"data/";
  EXPECT_EQ(dlg->Folder(), chosenFolder);
  EXPECT_EQ(Setting(u"Path"), chosenFolder);
  dlg.reset();
  Start();
  W().Replace(IDC_PORT, pty.PortName());
  W().Click(IDC_OPEN);
  W().Click(IDC_SEND_FILE);
  EXPECT_EQ(toolkit.fileDialogRequests.back().initialPath, chosenFolder);
}

TEST_F(SendFileTest, AUtf16FileArrivesInTheCodePageWithoutItsMark) {
  StartOpen(936);
  // Past the first 1024 bytes, a surrogate pair cut by that boundary and a "\r\n" by the next.
  std::u16string text;
  while (text.size() < 510) text += u"\u4E2D\u6587 text\r\n";
  text.resize(510);
  text += u"\U0001F600";
  while (text.size() < 1023) text += u"more \u6587\u5B57\r\n";
  text.resize(1023);
  text += u"\r\nend";
  MakeFile("u.txt", Utf16LeWithMark(text));

  W().DropFiles({Folder() + u"u.txt"});
  const auto expected = Reduced(936, text);
  EXPECT_EQ(pty.ReadExactly(expected.size()), expected);
  EXPECT_EQ(ReadUpToMarker(0), Bytes(""));
}

TEST_F(SendFileTest, ACharacterOfTheCodePageCutByTheBoundaryArrivesWhole) {
  StartOpen(936);
  std::string file(1023, 'x');
  file += "\xD6\xD0\r\n";  // a GBK character across bytes 1023 and 1024
  MakeFile("gbk.txt", file);
  W().DropFiles({Folder() + u"gbk.txt"});
  EXPECT_EQ(ReadUpToMarker(1026), Bytes(std::string(1023, 'x') + "\xD6\xD0\n"));
}

TEST_F(SendFileTest, UnsupportedMarksAndUnreadableFilesAreRefusedWithAMessage) {
  StartOpen();
  MakeFile("utf8.txt", "\xEF\xBB\xBFhello");
  MakeFile("be.txt", std::string("\xFE\xFF\0h", 4));
  W().DropFiles({Folder() + u"utf8.txt", Folder() + u"be.txt", Folder() + u"missing.txt"});
  const std::u16string refused = u"Not support UTF-8 and Unicode big endian";
  EXPECT_EQ(MessageTexts(),
            (std::vector<std::u16string>{refused, refused, u"Open file" + Folder() + u"missing.txt" + u"Error\uFF01"}));
  EXPECT_EQ(ReadUpToMarker(0), Bytes(""));
  EXPECT_EQ(ComboItems(IDC_FILE_HISTORY), std::vector<std::u16string>{});
  EXPECT_TRUE(PumpUntilText(IDC_TX_COUNT, u"TX:1"));  // the marker only

  // A file gone since it entered the history: the message, and the history stays.
  const auto path = MakeFile("gone.txt", "x");
  W().DropFiles({path});
  EXPECT_EQ(ReadUpToMarker(1), Bytes("x"));
  std::filesystem::remove(std::filesystem::path(path));
  W().PickComboItem(IDC_FILE_HISTORY, 0);
  EXPECT_EQ(MessageTexts().back(), u"Open file" + path + u"Error\uFF01");
  EXPECT_EQ(ComboItems(IDC_FILE_HISTORY), std::vector<std::u16string>{u"gone.txt"});
}

TEST_F(SendFileTest, AnEmptyFileEntersTheHistoryAndShowsTheTxCountAgain) {
  StartOpen();
  dlg->GetSender().OnWritten(7, false, dlg->GetSender().CurrentConnection());
  W().DropFiles({MakeFile("empty.txt", "")});
  EXPECT_EQ(Text(IDC_TX_COUNT), u"TX:7");
  EXPECT_EQ(ComboItems(IDC_FILE_HISTORY), std::vector<std::u16string>{u"empty.txt"});
  EXPECT_EQ(Text(IDC_SEND_FILE), u"Send File");
  EXPECT_EQ(ReadUpToMarker(0), Bytes(""));
}

TEST_F(SendFileTest, TheHistoryKeepsTheTenMostRecentFilesOnceEach) {
  StartOpen();
  std::vector<std::u16string> paths;
  std::string sent;
  for (int i = 0; i < 11; ++i) {
    const std::string content = std::to_string(i) + ";";
    paths.push_back(MakeFile("f" + std::to_string(i) + ".txt", content));
    W().DropFiles({paths.back()});
    sent += content;
  }
  W().DropFiles({paths[5]});
  sent += "5;";
  EXPECT_EQ(pty.ReadExactly(sent.size()), Bytes(sent));
  const std::vector<std::u16string> expected{u"f5.txt", u"f10.txt", u"f9.txt", u"f8.txt", u"f7.txt",
                                             u"f6.txt", u"f4.txt",  u"f3.txt", u"f2.txt", u"f1.txt"};
  EXPECT_EQ(ComboItems(IDC_FILE_HISTORY), expected);
  const FileHistory& history = dlg->GetSender().History();
  ASSERT_EQ(history.Size(), 10u);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(std::filesystem::path(history.At(i)->path).filename().u16string(), history.At(i)->name);
  }
  EXPECT_EQ(W().ComboGetCurSel(IDC_FILE_HISTORY), 0);
}

TEST_F(SendFileTest, SameNamedFilesInTwoFoldersAreTwoEntriesEachSendingItsOwn) {
  StartOpen();
  const auto first = MakeFile("one/log.txt", "first;");
  const auto second = MakeFile("two/log.txt", "second;");
  W().DropFiles({first, second});
  EXPECT_EQ(pty.ReadExactly(13), Bytes("first;second;"));
  EXPECT_EQ(ComboItems(IDC_FILE_HISTORY), (std::vector<std::u16string>{u"log.txt", u"log.txt"}));
  // The entry just sent is the one selected, not the other file of the same name.
  EXPECT_EQ(W().ComboGetCurSel(IDC_FILE_HISTORY), 0);

  // Every selection change sends the entry picked, which moves to the front.
  W().PickComboItem(IDC_FILE_HISTORY, 1);
  EXPECT_EQ(pty.ReadExactly(6), Bytes("first;"));
  W().PickComboItem(IDC_FILE_HISTORY, 1);
  EXPECT_EQ(pty.ReadExactly(7), Bytes("second;"));
  EXPECT_EQ(dlg->GetSender().History().At(0)->path, second);
  EXPECT_EQ(dlg->GetSender().History().At(1)->path, first);
}

TEST_F(SendFileTest, OnlyNamesEndingInTxtOrTXTAreTaken) {
  StartOpen();
  const std::u16string folderBefore = dlg->Folder();
  Choose(MakeFile("pick/report.Txt", "mixed;"));
  EXPECT_EQ(dlg->Folder(), folderBefore);
  EXPECT_EQ(Setting(u"Path"), folderBefore);
  Choose(MakeFile("pick/report.TXT", "upper;"));
  EXPECT_EQ(dlg->Folder(), Folder() + u"pick/");
  EXPECT_EQ(ReadUpToMarker(6), Bytes("upper;"));
  EXPECT_TRUE(toolkit.messageBoxes.empty());
}

TEST_F(SendFileTest, DroppedTextFilesGoInTheDropsOrderAndOthersAreSkipped) {
  StartOpen();
  const std::u16string folderBefore = dlg->Folder();
  const auto a = MakeFile("a.txt", "alpha;");
  const auto picture = MakeFile("photo.png", "\x89PNG\r\n");
  const auto b = MakeFile("b.TXT", "beta;");
  const auto mixed = MakeFile("c.Txt", "gamma;");
  W().DropFiles({a, picture, b, mixed});
  EXPECT_EQ(ReadUpToMarker(11), Bytes("alpha;beta;"));
  EXPECT_EQ(ComboItems(IDC_FILE_HISTORY), (std::vector<std::u16string>{u"b.TXT", u"a.txt"}));
  EXPECT_EQ(dlg->Folder(), folderBefore);
  EXPECT_TRUE(toolkit.messageBoxes.empty());
}

TEST_F(SendFileTest, FilesQueueBehindEarlierSendsAndAheadOfLaterOnes) {
  StartOpen();
  const auto file = MakeFile("mid.txt", std::string(5000, 'm'));
  Send(u"before;");
  W().DropFiles({file});
  Send(u";after");
  EXPECT_EQ(ReadUpToMarker(5013), Bytes("before;" + std::string(5000, 'm') + ";after"));
  EXPECT_TRUE(PumpUntilText(IDC_TX_COUNT, u"TX:5014"));
}

TEST_F(SendFileTest, WithThePortClosedNothingIsSentButAPickedEntryMovesToTheFront) {
  StartOpen();
  const auto a = MakeFile("a.txt", "a;");
  const auto b = MakeFile("b.txt", "b;");
  W().DropFiles({a, b});
  EXPECT_EQ(pty.ReadExactly(4), Bytes("a;b;"));
  ASSERT_TRUE(PumpUntilFilesDone());
  W().Click(IDC_OPEN);

  W().DropFiles({a});
  W().Click(IDC_SEND_FILE);
  EXPECT_TRUE(toolkit.fileDialogRequests.empty());
  W().PickComboItem(IDC_FILE_HISTORY, 1);
  EXPECT_EQ(ComboItems(IDC_FILE_HISTORY), (std::vector<std::u16string>{u"a.txt", u"b.txt"}));
  EXPECT_FALSE(dlg->GetSender().IsSendingFile());
  EXPECT_EQ(Text(IDC_SEND_FILE), u"Send File");

  OpenOn(pty);
  EXPECT_EQ(ReadUpToMarker(0), Bytes(""));
  EXPECT_TRUE(toolkit.messageBoxes.empty());
}
