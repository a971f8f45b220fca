#include "receive/line_starts.h"

void LineStarts::Find(std::u16string_view decoded, std::vector<std::size_t>& starts) {
  starts.clear();
  for (std::size_t i = 0; i < decoded.size(); ++i) {
    const char16_t c = decoded[i];
    if (m_afterCr && c != u'\n') m_atLineStart = true;
    if (m_atLineStart) starts.push_back(i);
    m_atLineStart = c == u'\n';
    m_afterCr = c == u'\r';
  }
}

bool LineStarts::BeginsAfterGap(std::int64_t nowMs, std::int64_t idleGapMs) {
  const bool begins = m_atLineStart || !m_lastArrival || nowMs - *m_lastArrival >= idleGapMs;
  m_lastArrival = nowMs;
  m_atLineStart = false;
  m_afterCr = false;
  return begins;
}

std::u16string_view LineStarts::LineBreakNeeded() const {
  if (m_atLineStart) return u"";
  return m_afterCr ? u"\n" : u"\r\n";
}

void LineStarts::LineEnded() {
  m_atLineStart = true;
  m_afterCr = false;
}

void LineStarts::Reset() {
  LineEnded();
  m_lastArrival.reset();
}
