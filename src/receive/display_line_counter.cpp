#include "receive/display_line_counter.h"

#include <algorithm>
#include <climits>
#include <utility>

DisplayLineCounter::DisplayLineCounter(int boxWidthPixels, CharWidth width)
    : m_boxWidth(std::max(boxWidthPixels, 0)), m_width(std::move(width)), m_lineStarts{0} {
  m_latin1Widths.fill(-1);
}

void DisplayLineCounter::Reset() { m_lineStarts.assign(1, 0); }

int DisplayLineCounter::LineCount() const {
  return static_cast<int>(std::min<std::size_t>(m_lineStarts.size(), INT_MAX));
}

void DisplayLineCounter::Update(std::u16string_view text, std::size_t firstChange) {
  firstChange = std::min(firstChange, text.size());
  const auto after = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), firstChange);
  const std::size_t holding = static_cast<std::size_t>(after - m_lineStarts.begin()) - 1;
  // Where a line ends can depend on characters as far as the start of the line two below
  // (a word moved down that still does not fit moves on alone), so the two lines above the
  // change are wrapped again as well.
  const std::size_t restart = holding >= 2 ? holding - 2 : 0;
  m_lineStarts.resize(restart + 1);
  WrapFrom(text, m_lineStarts.back());
}

void DisplayLineCounter::WrapFrom(std::u16string_view text, std::size_t lineStart) {
  long long lineWidth = 0;
  bool hasSpace = false;
  std::size_t afterSpace = 0;     // start of the word after the line's last space
  long long widthAfterSpace = 0;  // width of that word so far
  const std::size_t size = text.size();
  for (std::size_t i = lineStart; i < size; ++i) {
    const char16_t c = text[i];
    if (c == u'\r' || c == u'\n') {
      if (c == u'\r' && i + 1 < size && text[i + 1] == u'\n') {
        ++i;
      }
      lineStart = i + 1;
      m_lineStarts.push_back(lineStart);
      lineWidth = 0;
      hasSpace = false;
      continue;
    }
    const long long width = WidthOf(c);
    if (c == u' ') {
      lineWidth += width;
      hasSpace = true;
      afterSpace = i + 1;
      widthAfterSpace = 0;
      continue;
    }
    if (lineWidth + width > m_boxWidth && i > lineStart) {
      if (hasSpace) {
        lineStart = afterSpace;
        lineWidth = widthAfterSpace;
        hasSpace = false;
        m_lineStarts.push_back(lineStart);
      }
      if (lineWidth + width > m_boxWidth && i > lineStart) {
        lineStart = i;
        lineWidth = 0;
        m_lineStarts.push_back(lineStart);
      }
    }
    lineWidth += width;
    widthAfterSpace += width;
  }
}

int DisplayLineCounter::WidthOf(char16_t c) {
  if (c >= m_latin1Widths.size()) {
    return std::max(m_width(c), 0);
  }
  int& width = m_latin1Widths[c];
  if (width < 0) {
    width = std::max(m_width(c), 0);
  }
  return width;
}
