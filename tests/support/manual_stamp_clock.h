#pragma once

#include <cstdint>
#include <memory>

#include "receive/stamp_clock.h"

namespace testsupport {

// The stamps' clock at a time the test sets: a stand-in, because the real one cannot be
// made to show a chosen time of day or a gap of exactly 19 ms.
class ManualStampClock : public StampClock {
 public:
  explicit ManualStampClock(std::shared_ptr<std::int64_t> now) : m_now(std::move(now)) {}
  void Anchor() override {}
  std::int64_t NowMs() override { return *m_now; }

 private:
  std::shared_ptr<std::int64_t> m_now;
};

}  // namespace testsupport
