#include "support/pty_pair.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace testsupport {
namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

// Waits for `events` on fd until the deadline; false on timeout, hang-up or error.
bool WaitFor(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    pollfd p{fd, events, 0};
    const int ready = ::poll(&p, 1, MillisecondsUntil(deadline));
    if (ready < 0 && errno == EINTR) continue;
    return ready > 0 && (p.revents & events);
  }
}

}  // namespace

PtyPair::PtyPair() {
  m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  const char* slave = nullptr;
  if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0 ||
      ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK) != 0 ||
      (slave = ::ptsname(m_master)) == nullptr) {
    if (m_master >= 0) ::close(m_master);
    throw std::runtime_error("cannot create a pseudo-terminal pair");
  }
  m_slavePath = slave;
}

PtyPair::~PtyPair() { CloseMaster(); }

std::u16string PtyPair::PortName() const { return std::u16string(m_slavePath.begin(), m_slavePath.end()); }

void PtyPair::CloseMaster() {
  if (m_master >= 0) ::close(m_master);
  m_master = -1;
}

bool PtyPair::WriteAll(const void* data, std::size_t count, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  std::size_t done = 0;
  while (done < count) {
    const auto n = ::write(m_master, bytes + done, count - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
      return false;
    } else if (!WaitFor(m_master, POLLOUT, deadline)) {
      return false;
    }
  }
  return true;
}

std::vector<std::uint8_t> PtyPair::ReadExactly(std::size_t count, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  std::vector<std::uint8_t> bytes(count);
  std::size_t done = 0;
  while (done < count) {
    const auto n = ::read(m_master, bytes.data() + done, count - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
      break;  // EIO: the slave is closed
    } else if (!WaitFor(m_master, POLLIN, deadline)) {
      break;
    }
  }
  bytes.resize(done);
  return bytes;
}

std::vector<std::uint8_t> PtyPair::ReadUntilQuiet(std::chrono::milliseconds quiet) {
  std::vector<std::uint8_t> bytes;
  std::uint8_t chunk[4096];
  while (WaitFor(m_master, POLLIN, Clock::now() + quiet)) {
    const auto n = ::read(m_master, chunk, sizeof chunk);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (n <= 0) break;
    bytes.insert(bytes.end(), chunk, chunk + n);
  }
  return bytes;
}

}  // namespace testsupport
