#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "hub/save_fixture.h"
#include "platform/app_dir.h"
#include "receive/save_file_name.h"
#include "res/resource.h"
#include "support/file_bytes.h"

TEST(SaveFileName, ProposesCrWithDateAndTimeWithoutLeadingZeros) {
  EXPECT_EQ(SaveFileName({2024, 3, 7, 9, 5, 2}), u"CR 2024-3-7 9-5-2");
  EXPECT_EQ(SaveFileName({1999, 12, 31, 23, 59, 0}), u"CR 1999-12-31 23-59-0");
}

TEST_F(SaveTest, TheDialogOpensInTheRememberedFolderWithTheProposedName) {
  Start();
  W().Click(IDC_RX_SAVE);  // cancelled
  ASSERT_EQ(toolkit.fileDialogRequests.size(), 1u);
  const auto& request = toolkit.fileDialogRequests[0];
  EXPECT_TRUE(request.save);
  EXPECT_EQ(request.filter, u"Text Files(*.txt)|*.txt||");
  EXPECT_EQ(request.defaultExtension, u"txt");
  // The program folder has no trailing separator; the name still lands inside it.
  EXPECT_EQ(request.initialPath.rfind(g_strAppDir + platform::PathSeparator() + u"CR ", 0), 0u) << text::ToUtf8(request.initialPath);
  EXPECT_EQ(dlg->Folder(), g_strAppDir);
}

TEST_F(SaveTest, LineEndsAreKeptAndOneCrLfEndsTheFile) {
  Start();
  const auto file = folder.Path() / "out.txt";
  SaveAs(file);
  EXPECT_EQ(testsupport::ReadFileBytes(file), "\r\n");
  Receive("a\nb\r\n");
  SaveAs(file);
  EXPECT_EQ(testsupport::ReadFileBytes(file), "a\nb\r\n");
  Receive("c");
  SaveAs(file);
  EXPECT_EQ(testsupport::ReadFileBytes(file), "a\nb\r\nc\r\n");
}

TEST_F(SaveTest, SavingOverALongerFileLeavesNoneOfItsOldBytes) {
  Start();
  const auto file = folder.Path() / "old.txt";
  std::ofstream(file) << std::string(10000, 'z');
  Receive("new");
  SaveAs(file);
  EXPECT_EQ(testsupport::ReadFileBytes(file), "new\r\n");
}

TEST_F(SaveTest, TextIsWrittenInTheCodePage) {
  Start(936);
  Receive("\xD6\xD0");  // 中 in GBK
  const auto file = folder.Path() / "gbk.txt";
  SaveAs(file);
  EXPECT_EQ(testsupport::ReadFileBytes(file), "\xD6\xD0\r\n");
}

TEST_F(SaveTest, TheChosenFolderIsRememberedAcrossRestarts) {
  Start();
  const auto sub = folder.Path() / "a.txt.d";
  std::filesystem::create_directory(sub);
  SaveAs(sub / "a.txt");
  EXPECT_EQ(dlg->Folder(), (sub / "").u16string());
  EXPECT_EQ(Setting(u"Path"), (sub / "").u16string());
  dlg.reset();
  Start();
  W().Click(IDC_RX_SAVE);
  EXPECT_EQ(toolkit.fileDialogRequests.back().initialPath.rfind((sub / "CR ").u16string(), 0), 0u);
}

TEST_F(SaveTest, AFileThatCannotBeWrittenIsReportedAndTheOldOneKept) {
  Start();
  const auto blocker = folder.Path() / "not-a-folder";
  std::ofstream(blocker) << "x";
  Receive("data");
  SaveAs(blocker / "out.txt");
  ASSERT_EQ(toolkit.messageBoxes.size(), 1u);
  EXPECT_NE(toolkit.messageBoxes[0].text.find(u"out.txt"), std::u16string::npos);
  EXPECT_EQ(testsupport::ReadFileBytes(blocker), "x");
}
