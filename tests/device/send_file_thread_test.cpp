#include <gtest/gtest.h>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "hub/send_file_fixture.h"
#include "platform/comm.h"
#include "send/file_send_job.h"
#include "send/send_thread.h"
#include "support/temp_dir.h"
#include "support/xoff_hold.h"

using namespace std::chrono_literals;

namespace {

// The far end of a 9600-baud line: about 1 KB every 100 ms, until told to drain at full speed.
class SlowReader {
 public:
  explicit SlowReader(int masterFd) : m_fd(masterFd), m_thread([this] { Run(); }) {}
  ~SlowReader() {
    m_stop.store(true);
    m_thread.join();
  }
  void DrainFast() { m_fast.store(true); }
  std::vector<std::uint8_t> Received() {
    std::lock_guard lock(m_mutex);
    return m_received;
  }
  std::size_t Count() {
    std::lock_guard lock(m_mutex);
    return m_received.size();
  }
  // Waits until the last byte read is `marker`.
  bool WaitForLast(std::uint8_t marker, std::chrono::milliseconds limit = 5s) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
      {
        std::lock_guard lock(m_mutex);
        if (!m_received.empty() && m_received.back() == marker) return true;
      }
      std::this_thread::sleep_for(5ms);
    }
    return false;
  }

 private:
  void Run() {
    std::uint8_t buffer[65536];
    while (!m_stop.load()) {
      const bool fast = m_fast.load();
      const auto n = ::read(m_fd, buffer, fast ? sizeof buffer : 1024);
      if (n > 0) {
        std::lock_guard lock(m_mutex);
        m_received.insert(m_received.end(), buffer, buffer + n);
      }
      std::this_thread::sleep_for(fast ? 1ms : 100ms);
    }
  }

  const int m_fd;
  std::atomic<bool> m_stop{false};
  std::atomic<bool> m_fast{false};
  std::mutex m_mutex;
  std::vector<std::uint8_t> m_received;
  std::thread m_thread;
};

bool WaitReadable(int fd, std::chrono::milliseconds limit = 5s) {
  pollfd p{fd, POLLIN, 0};
  return ::poll(&p, 1, static_cast<int>(limit.count())) == 1;
}

using SendFileThreadTest = SendFileTest;

}  // namespace

TEST_F(SendFileThreadTest, EscStopsALongFileWhileTheWindowGoesOnReceiving) {
  StartOpen();
  const std::size_t size = 1 << 20;
  SlowReader reader(pty.MasterFd());
  W().DropFiles({MakeFile("big.txt", std::string(size, 'a'))});
  ASSERT_TRUE(toolkit.PumpUntil([&] { return reader.Count() > 2048; }));
  EXPECT_TRUE(Text(IDC_SEND_FILE).ends_with(u"%")) << text::ToUtf8(Text(IDC_SEND_FILE));

  // Data from the far end is shown while the file is still going out.
  ASSERT_TRUE(pty.WriteAll(Bytes("ping")));
  ASSERT_TRUE(toolkit.PumpUntil([&] { return Text(IDC_RX_EDIT) == u"ping"; }));
  EXPECT_TRUE(dlg->GetSender().IsSendingFile());

  W().Focus(IDC_RX_EDIT);
  W().PressKey(VK_ESCAPE);
  EXPECT_FALSE(dlg->GetSender().IsSendingFile());
  EXPECT_EQ(Text(IDC_SEND_FILE), u"Send File");
  // The file stops after the piece being written; what comes after it still goes out.
  Send(u"~");
  reader.DrainFast();
  ASSERT_TRUE(reader.WaitForLast('~'));
  const auto received = reader.Received();
  EXPECT_LT(received.size(), size / 2);
  EXPECT_EQ(std::count(received.begin(), received.end(), 'a'), static_cast<long>(received.size() - 1));
  EXPECT_TRUE(PumpUntilText(IDC_TX_COUNT, u"TX:" + text::Decimal(received.size())));
  EXPECT_TRUE(PortOpen());
}

TEST_F(SendFileThreadTest, SendFileAgainStopsTheFileAndThoseQueuedBehindIt) {
  StartOpen();
  SlowReader reader(pty.MasterFd());
  W().DropFiles({MakeFile("a.txt", std::string(1 << 20, 'a')), MakeFile("b.txt", std::string(1 << 20, 'b'))});
  ASSERT_TRUE(toolkit.PumpUntil([&] { return reader.Count() > 2048; }));

  W().Click(IDC_SEND_FILE);
  EXPECT_TRUE(toolkit.fileDialogRequests.empty());
  EXPECT_EQ(Text(IDC_SEND_FILE), u"Send File");
  Send(u"~");
  reader.DrainFast();
  ASSERT_TRUE(reader.WaitForLast('~'));
  const auto received = reader.Received();
  EXPECT_EQ(std::count(received.begin(), received.end(), 'b'), 0);
  EXPECT_EQ(ComboItems(IDC_FILE_HISTORY), (std::vector<std::u16string>{u"b.txt", u"a.txt"}));

  // The button is itself again.
  W().Click(IDC_SEND_FILE);
  EXPECT_EQ(toolkit.fileDialogRequests.size(), 1u);
}

TEST_F(SendFileThreadTest, AReadErrorMidFileStopsTheFileAndSaysSo) {
  // A thread's /proc file reads while the thread lives and fails once it has ended.
  std::atomic<long> tid{0};
  std::atomic<bool> end{false};
  std::thread helper([&] {
    tid.store(::syscall(SYS_gettid));
    while (!end.load()) std::this_thread::sleep_for(1ms);
  });
  while (tid.load() == 0) std::this_thread::yield();
  const std::filesystem::path source = "/proc/self/task/" + std::to_string(tid.load()) + "/smaps";
  const auto link = folder.Path() / "smaps.txt";
  std::filesystem::create_symlink(source, link);
  if (!std::ifstream(source)) GTEST_SKIP() << "no readable " << source;
  StartOpen();

  // The line is held full, so the file waits in the queue until the thread has ended.
  Send(std::u16string(64 * 1024, u'Q'));
  W().DropFiles({link.u16string()});
  end.store(true);
  helper.join();
  ASSERT_TRUE(toolkit.messageBoxes.empty()) << "the file did not open";
  const auto received = pty.ReadUntilQuiet(300ms);

  ASSERT_TRUE(toolkit.PumpUntil([&] { return !toolkit.messageBoxes.empty(); }));
  EXPECT_EQ(MessageTexts(), std::vector<std::u16string>{u"Read file" + link.u16string() + u"Error\uFF01"});
  EXPECT_GT(received.size(), 64u * 1024) << "the start of the file went out";
  EXPECT_EQ(Text(IDC_SEND_FILE), u"Send File");
  EXPECT_TRUE(PortOpen());
  EXPECT_EQ(ReadUpToMarker(0), Bytes(""));
}

TEST_F(SendFileThreadTest, TheFarEndGoingAwayMidFileSaysSendFailOnce) {
  StartOpen();
  // Nobody reads, so the file's write waits for room when the line hangs up.
  W().DropFiles({MakeFile("a.txt", std::string(1 << 20, 'a')), MakeFile("b.txt", "b")});
  Send(u"behind");
  ASSERT_TRUE(WaitReadable(pty.MasterFd()));
  pty.CloseMaster();
  ASSERT_TRUE(toolkit.PumpUntil([&] { return !toolkit.messageBoxes.empty(); }));
  toolkit.PumpUntil([] { return false; }, 300ms);  // whatever was queued behind the file
  EXPECT_EQ(MessageTexts(), std::vector<std::u16string>{u"Send Fail"});
  EXPECT_FALSE(PortOpen());
  EXPECT_EQ(Text(IDC_SEND_FILE), u"Send File");
  EXPECT_FALSE(dlg->GetSender().IsSendingFile());
}

TEST_F(SendFileThreadTest, ReportsFromAnEarlierConnectionNeverCloseTheNewOne) {
  testsupport::PtyPair other;
  StartOpen();
  const std::uint64_t firstConnection = dlg->GetSender().CurrentConnection();
  // Nobody reads: the file's write is waiting for room when the port is closed, and is cut
  // short; its reports are posted but not handled before the port is open again.
  W().DropFiles({MakeFile("big.txt", std::string(1 << 20, 'a'))});
  ASSERT_TRUE(WaitReadable(pty.MasterFd()));
  std::this_thread::sleep_for(100ms);
  W().Click(IDC_OPEN);
  OpenOn(other);
  toolkit.ProcessPosted();
  EXPECT_TRUE(PortOpen());
  EXPECT_TRUE(toolkit.messageBoxes.empty());
  EXPECT_FALSE(dlg->GetSender().IsSendingFile());
  // Its bytes still count.
  const auto written = pty.ReadUntilQuiet().size();
  EXPECT_EQ(Text(IDC_TX_COUNT), u"TX:" + text::Decimal(written));

  // The same for a failed write of a plain Send.
  dlg->GetSender().OnWritten(0, true, firstConnection);
  EXPECT_TRUE(PortOpen());
  dlg->GetSender().OnWritten(0, true, dlg->GetSender().CurrentConnection());
  EXPECT_FALSE(PortOpen());
  EXPECT_EQ(MessageTexts(), std::vector<std::u16string>{u"Send Fail"});
}

// The send thread alone, with a job of the test's own, whose outcome it can watch.
TEST(SendFileThread, AFileHeldByXoffStaysPutAndItsCancelEndsTheHeldWrite) {
  testsupport::PtyPair pty;
  auto port = platform::CommPort::Open(pty.PortName());
  ASSERT_NE(port, nullptr);
  platform::CommState state;
  ASSERT_TRUE(port->GetState(state));
  state.flowControl = platform::FlowControl::XonXoff;
  ASSERT_EQ(port->SetState(state), platform::CommSetting::None);
  ASSERT_NO_FATAL_FAILURE(testsupport::HoldWithXoff(pty, *port));

  testsupport::TempDir folder;
  const auto path = folder.Path() / "held.txt";
  std::ofstream(path, std::ios::binary) << std::string(64 * 1024, 'a');
  auto job = std::make_shared<FileSendJob>();
  ASSERT_EQ(job->Open(path.u16string()), FileSendJob::Check::Ready);
  struct Unheard : SendReports {
    void OnWrittenBytes(std::span<const std::uint8_t>) override {}
    void OnWritten(std::uint64_t, bool, std::uint64_t) override {}
    void OnFileProgress() override {}
    void OnFileDone(std::uint64_t, std::uint64_t) override {}
  } reports;
  SendThread sender([](std::function<void()>) {}, reports);
  sender.SetPort(port);
  ASSERT_TRUE(sender.Start());
  ASSERT_TRUE(sender.QueueFile(job));

  const auto until = std::chrono::steady_clock::now() + 5s;
  while (job->consumed.load() == 0 && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(1ms);
  const auto consumed = job->consumed.load();
  ASSERT_GT(consumed, 0u);
  EXPECT_TRUE(pty.ReadUntilQuiet(200ms).empty());
  EXPECT_EQ(job->consumed.load(), consumed) << "its progress stays where the line stopped it";
  EXPECT_EQ(job->outcome.load(), FileSendJob::Outcome::Pending);

  const auto cancelledAt = std::chrono::steady_clock::now();
  job->cancelled.store(true);
  while (job->outcome.load() == FileSendJob::Outcome::Pending && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(1ms);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - cancelledAt, 100ms);
  EXPECT_EQ(job->outcome.load(), FileSendJob::Outcome::Cancelled) << "a cancel is no write failure";
  ASSERT_NO_FATAL_FAILURE(testsupport::ReleaseWithXon(pty));
  EXPECT_TRUE(pty.ReadUntilQuiet(200ms).empty()) << "nothing of the cancelled file follows the release";
  sender.Stop();
}
