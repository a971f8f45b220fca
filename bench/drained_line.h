#pragma once

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/text.h"

// The far end of a line: the master of a pseudo-terminal pair, drained by its own thread as
// fast as it can.
class DrainedLine {
 public:
  DrainedLine() {
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) std::abort();
    m_slave = ::ptsname(m_master);
    m_reader = std::thread([this] {
      std::vector<char> buffer(1 << 16);
      while (!m_stop.load()) {
        pollfd p{m_master, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0) continue;
        const auto n = ::read(m_master, buffer.data(), buffer.size());
        if (n > 0) m_received.fetch_add(static_cast<std::uint64_t>(n));
      }
    });
  }
  ~DrainedLine() {
    m_stop.store(true);
    m_reader.join();
    ::close(m_master);
  }
  DrainedLine(const DrainedLine&) = delete;
  DrainedLine& operator=(const DrainedLine&) = delete;

  std::u16string PortName() const { return text::FromUtf8(m_slave); }
  std::uint64_t Received() const { return m_received.load(); }

 private:
  int m_master = -1;
  std::string m_slave;
  std::atomic<bool> m_stop{false};
  std::atomic<std::uint64_t> m_received{0};
  std::thread m_reader;
};
