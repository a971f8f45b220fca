#include "receive/steady_stamp_clock.h"

#include "platform/local_time.h"

void SteadyStampClock::Anchor() {
  m_anchor = std::chrono::steady_clock::now();
  m_anchorMs = platform::LocalMillisecondOfDay();
}

std::int64_t SteadyStampClock::NowMs() {
  const auto elapsed = std::chrono::steady_clock::now() - m_anchor;
  return m_anchorMs + std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
}
