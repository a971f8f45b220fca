// DTR, RTS, CTS and the other modem lines, and break. A pseudo-terminal has none of these
// (the kernel answers ENOTTY, takes a break without a trace and never reports bytes queued
// for output), so where a test needs them, a stand-in answers the modem-line, break and
// output-queue ioctls for the real port on a real pty, and records them; every other request
// (termios, locks, exclusivity) still reaches the pty. What a pty can show (termios,
// HUPCL, missing lines) is tested without the stand-in.

#include <dlfcn.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <atomic>
#include <chrono>
#include <cstdarg>
#include <future>
#include <mutex>
#include <vector>

#include <gtest/gtest.h>

#include "platform/comm.h"
#include "res/resource.h"
#include "serial/modem_lines_watch.h"
#include "support/hub_fixture.h"
#include "support/pty_pair.h"

namespace {

using platform::CommPort;
using platform::FlowControl;
using platform::InputLines;
using platform::LineResult;
using testsupport::PtyPair;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// The modem lines of one device, answered in place of the driver while it lives.
class ModemLinesStandIn {
 public:
  struct Call {
    unsigned long request;
    int bits;
    Clock::time_point at;
  };

  ModemLinesStandIn() { s_current.store(this); }
  ~ModemLinesStandIn() { s_current.store(nullptr); }

  static ModemLinesStandIn* Current() { return s_current.load(); }

  // As the kernel leaves them after open(): DTR and RTS raised.
  std::atomic<int> bits{TIOCM_DTR | TIOCM_RTS};
  std::atomic<int> queuedForOutput{0};

  std::vector<Call> Calls() {
    std::lock_guard lock(m_mutex);
    return m_calls;
  }
  void Forget() {
    std::lock_guard lock(m_mutex);
    m_calls.clear();
  }
  void Record(unsigned long request, int requestBits) {
    std::lock_guard lock(m_mutex);
    m_calls.push_back({request, requestBits, Clock::now()});
  }

 private:
  static inline std::atomic<ModemLinesStandIn*> s_current{nullptr};
  std::mutex m_mutex;
  std::vector<Call> m_calls;
};

bool IsModemRequest(unsigned long request) {
  return request == TIOCMGET || request == TIOCMBIS || request == TIOCMBIC || request == TIOCMSET ||
         request == TIOCSBRK || request == TIOCCBRK || request == TIOCOUTQ;
}

}  // namespace

// Calls from the code linked into this binary land here before the C library's.
extern "C" int ioctl(int fd, unsigned long request, ...) noexcept {
  va_list args;
  va_start(args, request);
  void* argument = va_arg(args, void*);
  va_end(args);
  ModemLinesStandIn* standIn = ModemLinesStandIn::Current();
  if (standIn && IsModemRequest(request)) {
    int* bits = static_cast<int*>(argument);
    switch (request) {
      case TIOCMGET: *bits = standIn->bits.load(); break;
      case TIOCMBIS: standIn->bits.fetch_or(*bits); break;
      case TIOCMBIC: standIn->bits.fetch_and(~*bits); break;
      case TIOCMSET: standIn->bits.store(*bits); break;
      case TIOCOUTQ: *bits = standIn->queuedForOutput.load(); return 0;
      default: break;
    }
    standIn->Record(request, request == TIOCSBRK || request == TIOCCBRK ? 0 : *bits);
    return 0;
  }
  using Real = int (*)(int, unsigned long, ...);
  static const auto real = reinterpret_cast<Real>(::dlsym(RTLD_NEXT, "ioctl"));
  return real(fd, request, argument);
}

namespace {

using Calls = std::vector<std::pair<unsigned long, int>>;

Calls LineCalls(ModemLinesStandIn& standIn) {
  Calls calls;
  for (const auto& call : standIn.Calls()) {
    if (call.request != TIOCMGET) calls.emplace_back(call.request, call.bits);
  }
  return calls;
}

platform::CommState Line(FlowControl flow) {
  platform::CommState state;
  state.baudRate = 9600;
  state.flowControl = flow;
  return state;
}

TEST(ModemLines, OpenLowersOnlyTheLinesAskedDownAndSetCallsDriveOneLineEach) {
  PtyPair pty;
  ModemLinesStandIn standIn;
  {
    auto port = CommPort::Open(pty.PortName());
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(LineCalls(standIn), Calls{}) << "open() raised both already";
  }
  auto port = CommPort::Open(pty.PortName(), {.dtr = false, .rts = true});
  ASSERT_NE(port, nullptr);
  EXPECT_EQ(LineCalls(standIn), (Calls{{TIOCMBIC, TIOCM_DTR}}));
  EXPECT_EQ(standIn.bits.load(), TIOCM_RTS);

  standIn.Forget();
  EXPECT_EQ(port->SetDtr(true), LineResult::Done);
  EXPECT_EQ(port->SetRts(false), LineResult::Done);
  EXPECT_EQ(port->SetRts(true), LineResult::Done);
  EXPECT_EQ(port->SetDtr(false), LineResult::Done);
  EXPECT_EQ(LineCalls(standIn),
            (Calls{{TIOCMBIS, TIOCM_DTR}, {TIOCMBIC, TIOCM_RTS}, {TIOCMBIS, TIOCM_RTS}, {TIOCMBIC, TIOCM_DTR}}));
}

TEST(ModemLines, UnderRtsCtsTheDriverOwnsRtsAndGetsItBackAsLastAsked) {
  PtyPair pty;
  ModemLinesStandIn standIn;
  auto port = CommPort::Open(pty.PortName());
  ASSERT_NE(port, nullptr);
  ASSERT_EQ(port->SetRts(false), LineResult::Done);
  ASSERT_EQ(port->SetState(Line(FlowControl::RtsCts)), platform::CommSetting::None);
  standIn.Forget();

  EXPECT_EQ(port->SetRts(true), LineResult::DriverOwned);
  EXPECT_EQ(port->SetDtr(false), LineResult::Done) << "DTR stays the user's";
  EXPECT_EQ(LineCalls(standIn), (Calls{{TIOCMBIC, TIOCM_DTR}}));

  standIn.Forget();
  ASSERT_EQ(port->SetState(Line(FlowControl::None)), platform::CommSetting::None);
  EXPECT_EQ(LineCalls(standIn), (Calls{{TIOCMBIC, TIOCM_RTS}})) << "RTS as set before RTS/CTS";
  EXPECT_EQ(port->SetRts(true), LineResult::Done);
}

TEST(ModemLines, InputLinesReadAsTheDriverHasThem) {
  PtyPair pty;
  ModemLinesStandIn standIn;
  auto port = CommPort::Open(pty.PortName());
  ASSERT_NE(port, nullptr);
  const std::pair<int, InputLines> cases[] = {
      {0, {}},
      {TIOCM_CTS, {.cts = true}},
      {TIOCM_DSR, {.dsr = true}},
      {TIOCM_CAR, {.dcd = true}},
      {TIOCM_RNG, {.ri = true}},
      {TIOCM_CTS | TIOCM_DSR | TIOCM_CAR | TIOCM_RNG | TIOCM_DTR, {true, true, true, true}},
  };
  for (const auto& [bits, expected] : cases) {
    standIn.bits.store(bits);
    InputLines lines{};
    EXPECT_EQ(port->ReadInputLines(lines), LineResult::Done);
    EXPECT_EQ(lines, expected) << "bits " << bits;
  }
}

TEST(ModemLines, APtyHasNoModemLinesAndKeepsWorking) {
  PtyPair pty;
  auto port = CommPort::Open(pty.PortName(), {.dtr = false, .rts = false});
  ASSERT_NE(port, nullptr) << "a port without lines opens all the same";
  EXPECT_EQ(port->SetDtr(true), LineResult::NoModemLines);
  EXPECT_EQ(port->SetRts(false), LineResult::NoModemLines);
  InputLines lines{.cts = true};
  EXPECT_EQ(port->ReadInputLines(lines), LineResult::NoModemLines);
  EXPECT_EQ(lines, (InputLines{.cts = true})) << "left as it was";

  const std::uint8_t byte = 0x42;
  EXPECT_EQ(port->Write(&byte, 1).written, 1u);
  EXPECT_EQ(pty.ReadExactly(1), std::vector<std::uint8_t>{0x42});
}

// HUPCL is termios, which the pty keeps: no stand-in needed.
TEST(ModemLines, ClosingWithDtrDownKeepsTheLinesAndWithDtrUpHangsUpAsBefore) {
  PtyPair pty;
  const auto hangsUp = [&] {
    termios t{};
    EXPECT_EQ(tcgetattr(pty.MasterFd(), &t), 0);
    return (t.c_cflag & HUPCL) != 0;
  };
  const auto setHangUp = [&] {
    termios t{};
    ASSERT_EQ(tcgetattr(pty.MasterFd(), &t), 0);
    t.c_cflag |= HUPCL;
    ASSERT_EQ(tcsetattr(pty.MasterFd(), TCSANOW, &t), 0);
  };
  ASSERT_NO_FATAL_FAILURE(setHangUp());
  CommPort::Open(pty.PortName()).reset();
  EXPECT_TRUE(hangsUp());

  CommPort::Open(pty.PortName(), {.dtr = false, .rts = true}).reset();
  EXPECT_FALSE(hangsUp());

  ASSERT_NO_FATAL_FAILURE(setHangUp());
  auto port = CommPort::Open(pty.PortName());
  ASSERT_NE(port, nullptr);
  port->SetDtr(false);
  port.reset();
  EXPECT_FALSE(hangsUp()) << "DTR taken down while open counts too";
}

TEST(ModemLines, BreakWaitsForQueuedBytesLastsItsTimeAndEndsAtOnceForCancel) {
  PtyPair pty;
  ModemLinesStandIn standIn;
  auto port = CommPort::Open(pty.PortName());
  ASSERT_NE(port, nullptr);

  standIn.queuedForOutput.store(100);
  auto breaking = std::async(std::launch::async, [&] { return port->SendBreak(250ms); });
  EXPECT_EQ(breaking.wait_for(100ms), std::future_status::timeout);
  EXPECT_TRUE(standIn.Calls().empty()) << "no break while written bytes are still going out";
  const auto sentAt = Clock::now();
  standIn.queuedForOutput.store(0);
  ASSERT_EQ(breaking.wait_for(5s), std::future_status::ready);
  EXPECT_EQ(breaking.get(), LineResult::Done);
  const auto calls = standIn.Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].request, static_cast<unsigned long>(TIOCSBRK));
  EXPECT_EQ(calls[1].request, static_cast<unsigned long>(TIOCCBRK));
  EXPECT_LT(calls[0].at - sentAt, 100ms);
  EXPECT_GE(calls[1].at - calls[0].at, 250ms);

  standIn.Forget();
  auto held = std::async(std::launch::async, [&] { return port->SendBreak(10s); });
  while (standIn.Calls().empty()) std::this_thread::sleep_for(1ms);
  port->CancelWrites();
  ASSERT_EQ(held.wait_for(2s), std::future_status::ready);
  EXPECT_EQ(held.get(), LineResult::Done);
  ASSERT_EQ(standIn.Calls().size(), 2u);
  EXPECT_EQ(standIn.Calls()[1].request, static_cast<unsigned long>(TIOCCBRK)) << "released all the same";
  EXPECT_EQ(port->SendBreak(250ms), LineResult::Cancelled) << "a closing port starts none";
}

// Reports as the watch thread makes them.
class Reports {
 public:
  ModemLinesWatch::Callback Callback() {
    return [this](const ModemLinesWatch::Report& report) {
      std::lock_guard lock(m_mutex);
      m_reports.push_back({report, Clock::now()});
      m_changed.notify_all();
    };
  }
  // The n-th report (from 0), once it came.
  bool WaitFor(std::size_t count, std::chrono::milliseconds limit = 5s) {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, limit, [&] { return m_reports.size() >= count; });
  }
  std::size_t Count() {
    std::lock_guard lock(m_mutex);
    return m_reports.size();
  }
  std::pair<ModemLinesWatch::Report, Clock::time_point> At(std::size_t index) {
    std::lock_guard lock(m_mutex);
    return m_reports.at(index);
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::vector<std::pair<ModemLinesWatch::Report, Clock::time_point>> m_reports;
};

class ModemLinesWatchTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(port, nullptr); }

  PtyPair pty;
  std::shared_ptr<CommPort> port = CommPort::Open(pty.PortName());
  Reports reports;
  ModemLinesWatch watch;
};

TEST_F(ModemLinesWatchTest, ReportsTheLinesOnceAtStartAndOncePerChangeWithinFiftyMilliseconds) {
  ModemLinesStandIn standIn;
  standIn.bits.store(TIOCM_DSR);
  watch.Start(port, reports.Callback());
  ASSERT_TRUE(reports.WaitFor(1));
  EXPECT_EQ(reports.At(0).first.lines, (InputLines{.dsr = true}));

  const InputLines changes[] = {{.cts = true, .dsr = true}, {.cts = true}, {.dcd = true, .ri = true}};
  const int bits[] = {TIOCM_CTS | TIOCM_DSR, TIOCM_CTS, TIOCM_CAR | TIOCM_RNG};
  for (std::size_t i = 0; i < std::size(bits); ++i) {
    std::this_thread::sleep_for(3 * ModemLinesWatch::kPeriod);  // unchanged lines: no report
    EXPECT_EQ(reports.Count(), i + 1);
    const auto changedAt = Clock::now();
    standIn.bits.store(bits[i]);
    ASSERT_TRUE(reports.WaitFor(i + 2));
    const auto [report, at] = reports.At(i + 1);
    EXPECT_EQ(report.result, LineResult::Done);
    EXPECT_EQ(report.lines, changes[i]);
    EXPECT_LT(at - changedAt, 50ms);
  }

  const auto stopAt = Clock::now();
  watch.Stop();
  EXPECT_LT(Clock::now() - stopAt, 50ms);
  standIn.bits.store(0);
  std::this_thread::sleep_for(3 * ModemLinesWatch::kPeriod);
  EXPECT_EQ(reports.Count(), 4u) << "nothing after Stop";
}

TEST_F(ModemLinesWatchTest, APtyIsReportedOnceAsHavingNoModemLinesAndAPortGoneOnceAsFailed) {
  watch.Start(port, reports.Callback());
  ASSERT_TRUE(reports.WaitFor(1));
  std::this_thread::sleep_for(5 * ModemLinesWatch::kPeriod);
  EXPECT_EQ(reports.Count(), 1u);
  EXPECT_EQ(reports.At(0).first.result, LineResult::NoModemLines);
  watch.Stop();

  pty.CloseMaster();
  watch.Start(port, reports.Callback());
  ASSERT_TRUE(reports.WaitFor(2));
  std::this_thread::sleep_for(5 * ModemLinesWatch::kPeriod);
  EXPECT_EQ(reports.Count(), 2u);
  EXPECT_EQ(reports.At(1).first.result, LineResult::Failed);
}

// The window's side of the lines: the boxes drive DTR and RTS, at the open and at once when
// clicked, and the indicators follow the input lines.
using WindowLinesTest = HubTest;

TEST_F(WindowLinesTest, TheBoxesDriveTheLinesAndTheIndicatorsFollowTheInputLinesWithinFiftyMs) {
  PtyPair pty;
  ModemLinesStandIn standIn;
  standIn.bits.store(TIOCM_DTR | TIOCM_RTS | TIOCM_DSR);
  Start();
  W().Replace(IDC_PORT, pty.PortName());
  W().Click(IDC_DTR);  // a board that resets on DTR opens without it
  W().Click(IDC_OPEN);
  ASSERT_TRUE(PortOpen());
  EXPECT_EQ(standIn.bits.load() & (TIOCM_DTR | TIOCM_RTS), TIOCM_RTS);
  for (const auto& call : LineCalls(standIn)) EXPECT_NE(call, std::make_pair(static_cast<unsigned long>(TIOCMBIS), TIOCM_DTR)) << "DTR pulsed";
  const auto shows = [this](bool cts, bool dsr, bool dcd, bool ri) {
    return toolkit.PumpUntil(
        [&] {
          const int ids[] = {IDC_CTS, IDC_DSR, IDC_DCD, IDC_RI};
          const bool want[] = {cts, dsr, dcd, ri};
          for (int i = 0; i < 4; ++i) {
            if (!W().IsEnabled(ids[i]) || (W().GetCheck(ids[i]) == BST_CHECKED) != want[i]) return false;
          }
          return true;
        },
        1s);
  };
  EXPECT_TRUE(shows(false, true, false, false));
  const auto changedAt = Clock::now();
  standIn.bits.store(TIOCM_CTS | TIOCM_CAR | TIOCM_RNG);
  EXPECT_TRUE(shows(true, false, true, true));
  EXPECT_LT(Clock::now() - changedAt, 50ms);
  W().Click(IDC_CTS);
  EXPECT_EQ(W().GetCheck(IDC_CTS), BST_CHECKED) << "an indicator is not the user's to change";

  standIn.Forget();
  W().Click(IDC_DTR);
  W().Click(IDC_RTS);
  EXPECT_EQ(LineCalls(standIn), (Calls{{TIOCMBIS, TIOCM_DTR}, {TIOCMBIC, TIOCM_RTS}}));
  EXPECT_TRUE(toolkit.messageBoxes.empty());

  W().Click(IDC_OPEN);
  for (const int id : {IDC_CTS, IDC_DSR, IDC_DCD, IDC_RI}) {
    EXPECT_FALSE(W().IsEnabled(id)) << id;
    EXPECT_EQ(W().GetCheck(id), BST_UNCHECKED) << id;
  }
}

}  // namespace
