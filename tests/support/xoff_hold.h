#pragma once

#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <thread>

#include <gtest/gtest.h>

#include "platform/comm.h"
#include "support/pty_pair.h"

namespace testsupport {

// The far end sends XOFF to a port set for XON/XOFF; returns once the line is held, which a
// probe byte the port can no longer write shows. The probes that went out before are read.
inline void HoldWithXoff(PtyPair& pty, platform::CommPort& port) {
  using namespace std::chrono_literals;
  const std::uint8_t xoff = 0x13;
  ASSERT_TRUE(pty.WriteAll(&xoff, 1));
  const std::uint8_t probe = 0xEE;
  const auto until = std::chrono::steady_clock::now() + 5s;
  while (::write(static_cast<int>(port.NativeHandle()), &probe, 1) == 1) {
    ASSERT_LT(std::chrono::steady_clock::now(), until) << "XOFF did not stop the line";
    std::this_thread::sleep_for(1ms);
  }
  pty.ReadUntilQuiet(50ms);
}

inline void ReleaseWithXon(PtyPair& pty) {
  const std::uint8_t xon = 0x11;
  ASSERT_TRUE(pty.WriteAll(&xon, 1));
}

}  // namespace testsupport
