#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "hub/send_file_fixture.h"
#include "support/file_bytes.h"
#include "support/process_entries.h"

// What a user does to a serial terminal on a bad day: many opens and closes, a flood, the
// device pulled out at every moment, a disk that fills up.
namespace {

using namespace std::chrono_literals;

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

class FaultTest : public SendFileTest {
 protected:
  // Pumps the window for `duration`; the share of one core the process used meanwhile.
  double CpuShareWhilePumping(std::chrono::milliseconds duration) {
    const double before = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    toolkit.PumpUntil([] { return false; }, duration);
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    return (CpuSeconds() - before) / spent.count();
  }
};

}  // namespace

TEST_F(FaultTest, TwoHundredOpensAndClosesLeaveNoDescriptorOrThreadBehind) {
  StartOpen();
  W().Click(IDC_OPEN);
  const int descriptors = testsupport::ProcessEntries("fd");
  const int threads = testsupport::ProcessEntries("task");
  for (int i = 0; i < 200; ++i) {
    W().Click(IDC_OPEN);
    ASSERT_TRUE(PortOpen()) << i;
    if (i % 20 == 0) Send(u"x");  // the send thread starts and stops with the port
    W().Click(IDC_OPEN);
  }
  EXPECT_EQ(testsupport::ProcessEntries("fd"), descriptors);
  EXPECT_EQ(testsupport::ProcessEntries("task"), threads);
}

TEST_F(FaultTest, AFloodOfFiftyMegabytesArrivesByteExact) {
  StartOpen(65001);
  W().Click(IDC_RX_AUTOCLEAR);  // off: keep it all
  std::string flood(50u << 20, '\0');
  for (std::size_t i = 0; i < flood.size(); ++i) {
    flood[i] = i % 77 == 76 ? '\n' : static_cast<char>('!' + (i * 31 + i / 77) % 90);
  }
  std::thread writer([&] { pty.WriteAll(flood.data(), flood.size(), 120s); });
  const bool all = toolkit.PumpUntil([&] { return dlg->GetReceiver().RxCount() >= std::int64_t(flood.size()); }, 120s);
  writer.join();
  ASSERT_TRUE(all) << dlg->GetReceiver().RxCount();
  const std::u16string& text = dlg->GetReceiver().Text();
  ASSERT_EQ(text.size(), flood.size());
  EXPECT_TRUE(std::equal(text.begin(), text.end(), flood.begin(),
                         [](char16_t shown, char sent) { return shown == static_cast<unsigned char>(sent); }));
}

TEST_F(FaultTest, TheDeviceGoneMidReceiveCrashesNothingSaysNothingAndDoesNotSpin) {
  StartOpen();
  // The device writes and goes from its own thread, as the window is taking in what it sent.
  std::atomic<bool> arriving{false};
  std::atomic<bool> gone{false};
  std::thread device([&] {
    const std::string burst(4096, 'r');
    do {
      pty.WriteAll(burst.data(), burst.size(), 2s);
    } while (!arriving.load());
    pty.WriteAll(burst.data(), burst.size(), 2s);
    pty.CloseMaster();
    gone = true;
  });
  const bool received = toolkit.PumpUntil([&] { return dlg->GetReceiver().RxCount() > 0; });
  arriving = true;
  toolkit.PumpUntil([&] { return gone.load(); });
  device.join();
  ASSERT_TRUE(received);
  EXPECT_LT(CpuShareWhilePumping(1000ms), 0.05);
  EXPECT_TRUE(toolkit.messageBoxes.empty());
  W().Click(IDC_OPEN);
  EXPECT_FALSE(PortOpen());
}

TEST_F(FaultTest, TheDeviceGoneMidSendOrMidFileSendSaysSendFailOnceAndClosesThePort) {
  for (const bool file : {false, true}) {
    testsupport::PtyPair line;
    Start();
    OpenOn(line);
    // Nobody reads: the write waits for room when the device goes.
    if (file) {
      W().DropFiles({MakeFile("big.txt", std::string(1 << 20, 'f'))});
    } else {
      Send(std::u16string(1 << 20, u's'));
    }
    std::this_thread::sleep_for(200ms);
    line.CloseMaster();
    ASSERT_TRUE(toolkit.PumpUntil([&] { return !PortOpen(); })) << file;
    toolkit.PumpUntil([] { return false; }, 300ms);
    EXPECT_EQ(MessageTexts(), std::vector<std::u16string>{u"Send Fail"}) << file;
    EXPECT_LT(CpuShareWhilePumping(500ms), 0.05) << file;
    dlg.reset();
    toolkit.messageBoxes.clear();
  }
}

TEST_F(FaultTest, ADiskThatFillsUpDuringSaveLeavesTheOldFileWholeAndSaysSo) {
  const auto disk = folder.Path() / "small-disk";
  std::filesystem::create_directories(disk);
  if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0) GTEST_SKIP() << "cannot mount a small tmpfs here";
  const std::string old = "what was saved before\r\n";
  std::ofstream(disk / "capture.txt", std::ios::binary) << old;
  Start();
  W().Click(IDC_RX_AUTOCLEAR);
  for (int i = 0; i < 400; ++i) Receive(std::string(500, 'd'));
  toolkit.QueueFileDialogAnswer(FileDialogResult{(disk / "capture.txt").u16string(), u"capture.txt"});
  W().Click(IDC_RX_SAVE);
  const std::string kept = testsupport::ReadFileBytes(disk / "capture.txt");
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(disk)) ++files;
  ::umount(disk.c_str());
  EXPECT_EQ(kept, old);
  EXPECT_EQ(files, 1u) << "no half-written temporary file is left";
  EXPECT_EQ(MessageTexts(), std::vector<std::u16string>{u"Save file" + (disk / "capture.txt").u16string() + u"Error\uFF01"});
}
