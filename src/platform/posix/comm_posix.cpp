#include "platform/comm.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "platform/comm_line_rules.h"
#include "platform/posix/comm_termios2_linux.h"
#include "platform/text.h"

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

int Fd(std::intptr_t handle) { return static_cast<int>(handle); }

struct StandardRate {
  std::uint32_t baud;
  speed_t code;
};

constexpr StandardRate kStandardRates[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

bool FindStandardRate(std::uint32_t baud, speed_t& code) {
  for (const auto& rate : kStandardRates) {
    if (rate.baud == baud) {
      code = rate.code;
      return true;
    }
  }
  return false;
}

tcflag_t SizeFlag(std::uint8_t byteSize) {
  switch (byteSize) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    default: return CS8;
  }
}

tcflag_t ParityFlags(std::uint8_t parity) {
  switch (parity) {
    case 1: return PARENB | PARODD;
    case 2: return PARENB;
    case 3: return PARENB | CMSPAR | PARODD;
    case 4: return PARENB | CMSPAR;
    default: return 0;
  }
}

// Retries a call that a signal interrupted.
template <typename Call>
auto Retry(Call call) {
  decltype(call()) result;
  do {
    result = call();
  } while (result < 0 && errno == EINTR);
  return result;
}

void Signal(int eventFd) {
  const std::uint64_t one = 1;
  // A full counter (never in practice) still leaves the descriptor readable, which is the point.
  (void)Retry([&] { return ::write(eventFd, &one, sizeof one); });
}

// A modem-line ioctl's failure: a device without the lines says ENOTTY or EINVAL.
LineResult LineFailure() { return errno == ENOTTY || errno == EINVAL ? LineResult::NoModemLines : LineResult::Failed; }

LineResult SetModemBits(int fd, int bits, bool asserted) {
  return ::ioctl(fd, asserted ? TIOCMBIS : TIOCMBIC, &bits) == 0 ? LineResult::Done : LineFailure();
}

FlowControl FlowOf(const termios& t) {
  if (t.c_cflag & CRTSCTS) return FlowControl::RtsCts;
  return (t.c_iflag & IXON) && (t.c_iflag & IXOFF) ? FlowControl::XonXoff : FlowControl::None;
}

void SetFlow(termios& t, FlowControl flow) {
  t.c_cflag &= ~CRTSCTS;
  t.c_iflag &= ~(IXON | IXOFF | IXANY);
  if (flow == FlowControl::RtsCts) t.c_cflag |= CRTSCTS;
  if (flow == FlowControl::XonXoff) {
    t.c_iflag |= IXON | IXOFF;
    t.c_cc[VSTART] = 0x11;
    t.c_cc[VSTOP] = 0x13;
  }
}

// Nothing of what was written is still on its way: neither in the driver's queue nor, where
// the UART tells, in its transmitter.
bool OutputEmpty(int fd) {
  int queued = 0;
  if (::ioctl(fd, TIOCOUTQ, &queued) != 0 || queued > 0) return false;
  unsigned int status = 0;
  return ::ioctl(fd, TIOCSERGETLSR, &status) != 0 || (status & TIOCSER_TEMT);
}

// Milliseconds left until deadline, for poll(); never negative.
int MillisecondsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left <= 0 ? 0 : left > 1'000'000'000 ? 1'000'000'000 : static_cast<int>(left);
}

// A path that is not a terminal (a typed file name) is refused before it is locked or changed.
// TIOCEXCL does not keep root out, so a port another program made exclusive is refused here
// too; flock keeps out every opener that locks, root included.
bool TakeExclusively(int fd) {
  termios t{};
  int alreadyExclusive = 0;
  if (::tcgetattr(fd, &t) != 0) return false;
  if (::ioctl(fd, TIOCGEXCL, &alreadyExclusive) == 0 && alreadyExclusive != 0) return false;
  return Retry([&] { return ::flock(fd, LOCK_EX | LOCK_NB); }) == 0 && ::ioctl(fd, TIOCEXCL) == 0;
}

// Raw bytes both ways, reads that return at once, and no modem-line dependence.
bool MakeRaw(int fd) {
  termios t{};
  if (::tcgetattr(fd, &t) != 0) return false;
  t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON);
  t.c_oflag &= ~OPOST;
  t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  t.c_cflag &= ~(CSIZE | PARENB);
  t.c_cflag |= CS8 | CLOCAL | CREAD;
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  return Retry([&] { return ::tcsetattr(fd, TCSANOW, &t); }) == 0;
}

}  // namespace

std::string CommPort::DevicePath(std::u16string_view portName) {
  std::string name = text::ToUtf8(portName);
  return !name.empty() && name.front() == '/' ? name : "/dev/" + name;
}

std::shared_ptr<CommPort> CommPort::Open(std::u16string_view portName, OutputLines lines) {
  if (portName.empty() || portName.find(u'\0') != std::u16string_view::npos) return nullptr;
  const std::string path = DevicePath(portName);
  const int fd = Retry([&] { return ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC); });
  if (fd < 0) return nullptr;
  if (!TakeExclusively(fd)) {
    ::close(fd);
    return nullptr;
  }
  // open() raised both lines; the sooner an unwanted one drops, the shorter the pulse.
  if (!lines.dtr) (void)SetModemBits(fd, TIOCM_DTR, false);
  if (!lines.rts) (void)SetModemBits(fd, TIOCM_RTS, false);
  // From here on the destructor undoes whatever was done.
  std::shared_ptr<CommPort> port(
      new CommPort(fd, ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK), ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)));
  port->m_dtr.store(lines.dtr);
  port->m_rts.store(lines.rts);
  if (Fd(port->m_wake) < 0 || Fd(port->m_cancel) < 0 || !MakeRaw(fd)) return nullptr;
  termios t{};
  if (::tcgetattr(fd, &t) == 0) port->m_flowControl.store(FlowOf(t));
  return port;
}

CommPort::~CommPort() {
  // A user who keeps DTR down does not want the close to change a line, nor the next open to
  // pulse DTR from a line dropped here.
  termios t{};
  if (!m_dtr.load() && ::tcgetattr(Fd(m_device), &t) == 0 && (t.c_cflag & HUPCL)) {
    t.c_cflag &= ~HUPCL;
    (void)Retry([&] { return ::tcsetattr(Fd(m_device), TCSANOW, &t); });
  }
  // The exclusive flag can outlive this descriptor (a pseudo-terminal stays while its master
  // does) and would keep every later opener out.
  ::ioctl(Fd(m_device), TIOCNXCL);
  ::close(Fd(m_device));
  if (Fd(m_wake) >= 0) ::close(Fd(m_wake));
  if (Fd(m_cancel) >= 0) ::close(Fd(m_cancel));
}

bool CommPort::GetState(CommState& state) {
  termios t{};
  std::uint32_t baud = 0;
  if (::tcgetattr(Fd(m_device), &t) != 0 || !termios2::ReadBaud(Fd(m_device), baud)) return false;
  state.baudRate = baud;
  switch (t.c_cflag & CSIZE) {
    case CS5: state.byteSize = 5; break;
    case CS6: state.byteSize = 6; break;
    case CS7: state.byteSize = 7; break;
    default: state.byteSize = 8; break;
  }
  if (!(t.c_cflag & PARENB)) {
    state.parity = 0;
  } else if (t.c_cflag & CMSPAR) {
    state.parity = (t.c_cflag & PARODD) ? 3 : 4;
  } else {
    state.parity = (t.c_cflag & PARODD) ? 1 : 2;
  }
  // With 5 data bits the UART sends 1.5 stop bits for CSTOPB.
  state.stopBits = !(t.c_cflag & CSTOPB) ? 0 : state.byteSize == 5 ? 1 : 2;
  state.binary = true;
  state.flowControl = FlowOf(t);
  return true;
}

CommSetting CommPort::SetState(const CommState& wanted) {
  CommSetting refused = CommSetting::None;
  if (!line_rules::IsPossibleLine(wanted, refused)) return refused;

  termios t{};
  if (::tcgetattr(Fd(m_device), &t) != 0) return CommSetting::BaudRate;
  t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB);
  t.c_cflag |= SizeFlag(wanted.byteSize) | ParityFlags(wanted.parity) | (wanted.stopBits != 0 ? CSTOPB : 0);
  SetFlow(t, wanted.flowControl);
  speed_t code = 0;
  const bool standard = FindStandardRate(wanted.baudRate, code);
  if (standard) {
    ::cfsetospeed(&t, code);
    t.c_cflag &= ~CIBAUD;  // input at the output rate, whatever another program left there
  }
  // tcsetattr succeeds when any part was taken, so only the read-back below tells.
  (void)Retry([&] { return ::tcsetattr(Fd(m_device), TCSANOW, &t); });
  if (!standard) (void)termios2::SetArbitraryBaud(Fd(m_device), wanted.baudRate);

  CommState actual;
  if (!GetState(actual)) return CommSetting::BaudRate;
  m_flowControl.store(actual.flowControl);
  // Leaving RTS/CTS leaves RTS where the driver had it.
  if (actual.flowControl != FlowControl::RtsCts) (void)SetModemBits(Fd(m_device), TIOCM_RTS, m_rts.load());
  return line_rules::FirstNotTaken(wanted, actual);
}

LineResult CommPort::SetDtr(bool asserted) {
  m_dtr.store(asserted);
  return SetModemBits(Fd(m_device), TIOCM_DTR, asserted);
}

LineResult CommPort::SetRts(bool asserted) {
  if (m_flowControl.load() == FlowControl::RtsCts) return LineResult::DriverOwned;
  m_rts.store(asserted);
  return SetModemBits(Fd(m_device), TIOCM_RTS, asserted);
}

LineResult CommPort::ReadInputLines(InputLines& lines) {
  int bits = 0;
  if (::ioctl(Fd(m_device), TIOCMGET, &bits) != 0) return LineFailure();
  lines = {(bits & TIOCM_CTS) != 0, (bits & TIOCM_DSR) != 0, (bits & TIOCM_CAR) != 0, (bits & TIOCM_RNG) != 0};
  return LineResult::Done;
}

LineResult CommPort::SendBreak(std::chrono::milliseconds duration) {
  const int fd = Fd(m_device);
  // The cancel descriptor becomes readable once and stays so: every poll on it ends at once.
  const auto waitForCancel = [&](int ms) {
    pollfd p{Fd(m_cancel), POLLIN, 0};
    return Retry([&] { return ::poll(&p, 1, ms); }) != 0;
  };
  constexpr int kDrainLookMs = 2;
  while (!OutputEmpty(fd)) {
    if (waitForCancel(kDrainLookMs)) return LineResult::Cancelled;
  }
  if (m_writesCancelled.load(std::memory_order_acquire)) return LineResult::Cancelled;
  if (::ioctl(fd, TIOCSBRK) != 0) return LineFailure();
  (void)waitForCancel(static_cast<int>(duration.count()));
  return ::ioctl(fd, TIOCCBRK) == 0 ? LineResult::Done : LineFailure();
}

void CommPort::Purge() { ::tcflush(Fd(m_device), TCIOFLUSH); }

// The driver keeps no error state that blocks further reads or writes here (Windows stops
// the port after a line error until it is cleared); Purge empties the queues.
void CommPort::ClearError() {}

int CommPort::Read(std::uint8_t* buffer, int maxBytes) {
  if (maxBytes <= 0) return 0;
  const auto n = Retry([&] { return ::read(Fd(m_device), buffer, static_cast<std::size_t>(maxBytes)); });
  if (n > 0) return static_cast<int>(n);
  if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
  // A hung-up terminal reads as 0 bytes too; only poll tells it from an empty queue.
  pollfd p{Fd(m_device), POLLIN, 0};
  return Retry([&] { return ::poll(&p, 1, 0); }) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) ? -1 : 0;
}

CommPort::WaitResult CommPort::WaitReadable(int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
  for (;;) {
    pollfd p[2] = {{Fd(m_device), POLLIN, 0}, {Fd(m_wake), POLLIN, 0}};
    const int ready = ::poll(p, 2, timeoutMs < 0 ? -1 : MillisecondsUntil(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) return WaitResult::Gone;
    if (p[1].revents & POLLIN) {
      std::uint64_t count = 0;
      (void)Retry([&] { return ::read(Fd(m_wake), &count, sizeof count); });
      return WaitResult::Woken;
    }
    if (p[0].revents & (POLLHUP | POLLERR | POLLNVAL)) return WaitResult::Gone;
    if (p[0].revents & POLLIN) return WaitResult::Readable;
    if (timeoutMs >= 0 && Clock::now() >= deadline) return WaitResult::TimedOut;
  }
}

void CommPort::Wake() { Signal(Fd(m_wake)); }

WriteResult CommPort::Write(const std::uint8_t* data, std::uint32_t count, const std::atomic<bool>* abandon) {
  constexpr int kAbandonLookMs = 20;
  const bool bounded = m_flowControl.load() == FlowControl::None;
  const auto deadline = Clock::now() + std::chrono::milliseconds(100 * std::int64_t{count} + 500);
  WriteResult result;
  while (result.written < count && !m_writesCancelled.load(std::memory_order_acquire) &&
         !(abandon && abandon->load())) {
    const auto n = Retry([&] { return ::write(Fd(m_device), data + result.written, count - result.written); });
    if (n > 0) {
      result.written += static_cast<std::uint32_t>(n);
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
      result.failed = true;
      break;
    }
    int wait = bounded ? MillisecondsUntil(deadline) : -1;
    if (wait == 0) {
      result.failed = result.written == 0;
      break;
    }
    if (abandon && (wait < 0 || wait > kAbandonLookMs)) wait = kAbandonLookMs;
    pollfd p[2] = {{Fd(m_device), POLLOUT, 0}, {Fd(m_cancel), POLLIN, 0}};
    const int ready = Retry([&] { return ::poll(p, 2, wait); });
    if (ready < 0 || (p[0].revents & (POLLHUP | POLLERR | POLLNVAL))) {
      result.failed = true;
      break;
    }
  }
  return result;
}

void CommPort::CancelWrites() {
  m_writesCancelled.store(true, std::memory_order_release);
  Signal(Fd(m_cancel));
}

}  // namespace platform
