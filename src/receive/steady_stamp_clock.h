#pragma once

#include <chrono>

#include "receive/stamp_clock.h"

// The local time once, at the anchor, then the steady clock's progress from there: a change
// of the system clock (or daylight saving) never reorders lines.
class SteadyStampClock : public StampClock {
 public:
  SteadyStampClock() { Anchor(); }
  void Anchor() override;
  std::int64_t NowMs() override;

 private:
  std::chrono::steady_clock::time_point m_anchor;
  std::int64_t m_anchorMs = 0;
};
