#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "hub/send_fixture.h"
#include "platform/app_dir.h"
#include "support/byte_pattern.h"
#include "support/file_bytes.h"
#include "support/file_size_limit.h"
#include "support/manual_stamp_clock.h"

using namespace std::chrono_literals;

namespace {

constexpr int kRaw = 0;
constexpr int kText = 1;

class SessionLogTest : public SendTest {
 protected:
  void StartLog(const std::filesystem::path& file, int format) {
    toolkit.QueueFileDialogAnswer(FileDialogResult{file.u16string(), file.filename().u16string(), format});
    W().Click(IDC_LOG);
  }
  std::filesystem::path LogPath(const char* name) const { return folder.Path() / name; }
};

}  // namespace

TEST_F(SessionLogTest, TheDialogProposesThePortAndTimeAndRemembersTheFormat) {
  Start();
  W().Replace(IDC_PORT, u"/dev/ttyUSB0");
  W().Click(IDC_LOG);  // cancelled
  ASSERT_EQ(toolkit.fileDialogRequests.size(), 1u);
  const FileDialogRequest first = toolkit.fileDialogRequests[0];
  const std::u16string proposed = first.initialPath.substr(first.initialPath.rfind(platform::PathSeparator()) + 1);
  EXPECT_TRUE(proposed.starts_with(u"tarvolm-ttyUSB0-") && proposed.ends_with(u".log")) << text::ToUtf8(proposed);
  EXPECT_EQ(proposed.size(), std::u16string(u"tarvolm-ttyUSB0-20240307-090502.log").size());
  EXPECT_EQ(first.fileType, kRaw);
  EXPECT_EQ(Text(IDC_LOG), u"Log...");

  StartLog(LogPath("a.log"), kText);
  EXPECT_EQ(Text(IDC_LOG), u"Stop log");
  EXPECT_EQ(Text(IDC_LOG_FILE), u"Log: a.log");
  W().Click(IDC_LOG);
  EXPECT_EQ(Text(IDC_LOG), u"Log...");
  EXPECT_EQ(Text(IDC_LOG_FILE), u"");
  dlg.reset();
  Start();
  W().Click(IDC_LOG);
  EXPECT_EQ(toolkit.fileDialogRequests.back().fileType, kText) << "the format chosen last";
  EXPECT_EQ(Setting(u"LogFormat"), u"Text");
}

// What the view does (stamps, Auto Clear, the filter) never reaches a raw log.
TEST_F(SessionLogTest, ARawLogIsByteExactAfterAFloodOf50MB) {
  StartOpen();
  W().Click(IDC_RX_TIMESTAMP);
  SetFilter(u"a");
  const auto file = LogPath("flood.log");
  StartLog(file, kRaw);
  const std::vector<std::uint8_t> bytes = testsupport::Pattern(50 * 1024 * 1024);
  bool written = false;
  std::thread far([&] { written = pty.WriteAll(bytes, 120s); });
  const bool arrived = toolkit.PumpUntil([&] { return Text(IDC_RX_COUNT) == u"RX:52428800"; }, 120s);
  far.join();
  ASSERT_TRUE(written);
  ASSERT_TRUE(arrived) << text::ToUtf8(Text(IDC_RX_COUNT));
  W().Click(IDC_LOG);
  EXPECT_TRUE(testsupport::ReadFileBytes(file) == std::string(bytes.begin(), bytes.end()));
  EXPECT_TRUE(toolkit.messageBoxes.empty());
}

TEST_F(SessionLogTest, ATextLogHoldsWhatTheViewShowedBeforeFilterAndClearWithCrLf) {
  StartOpen();
  auto now = std::make_shared<std::int64_t>(((9 * 60 + 5) * 60 + 2) * 1000 + 7);
  dlg->GetReceiver().UseClock(std::make_unique<testsupport::ManualStampClock>(now));
  W().Click(IDC_RX_TIMESTAMP);
  W().Click(IDC_SHOW_SENT);
  SetFilter(u"b");
  const auto file = LogPath("text.log");
  StartLog(file, kText);
  Receive("ab\n\xC3");  // Latin-1 Ã, written as UTF-8
  W().Click(IDC_RX_CLEAR);
  Send(u"hi");
  ASSERT_EQ(pty.ReadExactly(2).size(), 2u);
  ASSERT_TRUE(toolkit.PumpUntil([&] { return Text(IDC_TX_COUNT) == u"TX:2"; }));
  *now += 1;
  Receive("c\r");
  Receive("\n");
  W().Click(IDC_LOG);
  EXPECT_EQ(testsupport::ReadFileBytes(file),
            "[09:05:02.007] ab\r\n[09:05:02.007] \xC3\x83\r\n[09:05:02.007] TX> hi\r\n[09:05:02.008] c\r\n");
  EXPECT_EQ(Text(IDC_RX_EDIT), u"[09:05:02.007] TX> hi\r\n[09:05:02.008] c\r\n");
}

TEST_F(SessionLogTest, ALogThatCannotBeOpenedSaysWhichAndWhyAndNothingStarts) {
  Start();
  const auto file = LogPath("missing") / "x.log";
  StartLog(file, kRaw);
  ASSERT_EQ(MessageTexts().size(), 1u);
  const std::u16string message = MessageTexts()[0];
  EXPECT_NE(message.find(file.u16string()), std::u16string::npos) << text::ToUtf8(message);
  EXPECT_NE(message.find(u"No such file"), std::u16string::npos) << text::ToUtf8(message);
  EXPECT_EQ(Text(IDC_LOG), u"Log...");
  Receive("still shown");
  EXPECT_EQ(Text(IDC_RX_EDIT), u"still shown");
}

// A file-size limit stands in for a full disk: the write fails part way, as it would.
TEST_F(SessionLogTest, AFullDiskEndsTheLogWithOneMessageAndTheViewGoesOn) {
  Start();
  W().Click(IDC_RX_AUTOCLEAR);  // off
  const auto file = LogPath("full.log");
  const std::string block(64 * 1024, 'z');
  const bool reported = testsupport::WithFileSizeLimit(100 * 1024, [&] {
    StartLog(file, kRaw);
    for (int i = 0; i < 8; ++i) Receive(block);
    return toolkit.PumpUntil([&] { return !toolkit.messageBoxes.empty(); });
  });
  ASSERT_TRUE(reported);
  Receive("after");
  toolkit.PumpUntil([] { return false; }, 300ms);
  ASSERT_EQ(MessageTexts().size(), 1u);
  EXPECT_NE(MessageTexts()[0].find(file.u16string()), std::u16string::npos);
  EXPECT_NE(MessageTexts()[0].find(u"too large"), std::u16string::npos) << text::ToUtf8(MessageTexts()[0]);
  EXPECT_EQ(Text(IDC_LOG), u"Log...");
  EXPECT_EQ(Text(IDC_RX_COUNT), u"RX:524293");
  EXPECT_TRUE(Text(IDC_RX_EDIT).ends_with(u"zzafter"));
  EXPECT_EQ(testsupport::ReadFileBytes(file), std::string(100 * 1024, 'z')) << "what fitted stays";
}

TEST_F(SessionLogTest, WhilePausedNothingIsLoggedAndAfterContinueAllIs) {
  StartOpen();
  const auto file = LogPath("paused.log");
  StartLog(file, kRaw);
  W().Click(IDC_RX_PAUSE);
  ASSERT_TRUE(pty.WriteAll(std::vector<std::uint8_t>{'p', 'q'}));
  toolkit.PumpUntil([] { return false; }, 300ms);
  EXPECT_EQ(dlg->GetReceiver().Log().WrittenBytes(), 0u);
  W().Click(IDC_RX_PAUSE);
  ASSERT_TRUE(toolkit.PumpUntil([&] { return Text(IDC_RX_COUNT) == u"RX:2"; }));
  W().Click(IDC_LOG);
  EXPECT_EQ(testsupport::ReadFileBytes(file), "pq");
}
