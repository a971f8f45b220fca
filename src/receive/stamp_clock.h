#pragma once

#include <cstdint>
#include <string>

// The time the stamps show, in milliseconds since the local midnight of the day the clock
// was anchored (it runs past 24 h rather than back). Tests use a clock of their own.
class StampClock {
 public:
  virtual ~StampClock() = default;
  // Takes the local time afresh: at each open of the port.
  virtual void Anchor() = 0;
  virtual std::int64_t NowMs() = 0;
};

// "[HH:MM:SS.mmm] " of the time of day `ms` falls on.
void AppendStamp(std::int64_t ms, std::u16string& out);
