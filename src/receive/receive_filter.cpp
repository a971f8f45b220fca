#include "receive/receive_filter.h"

#include <algorithm>
#include <iterator>
#include <string_view>

std::size_t ReceiveFilter::Apply(std::u16string& text, std::size_t oldLength,
                                 const std::vector<std::u16string>& conditions, std::size_t floor) {
  oldLength = std::min(oldLength, text.size());
  // Text never scanned with this list may hold matches anywhere.
  const bool wholeText = !m_bPrimed || conditions != m_conditions;
  if (wholeText) {
    m_conditions = conditions;
    m_previousJoins.clear();
  } else {
    m_previousJoins.swap(m_joins);
  }
  m_joins.clear();
  m_bPrimed = true;

  std::size_t firstChange = oldLength;
  std::size_t tail = oldLength;  // characters before it were there before this chunk
  for (const std::u16string& condition : conditions) {
    const std::size_t length = condition.size();
    if (length == 0 || length > text.size()) {
      continue;
    }
    FindMatches(text, condition, tail, wholeText, floor);
    if (m_matches.empty()) {
      continue;
    }
    firstChange = std::min(firstChange, m_matches.front());
    std::size_t removedBeforeTail = 0;
    for (std::size_t p : m_matches) {
      if (p >= tail) {
        break;
      }
      removedBeforeTail += std::min(p + length, tail) - p;
    }
    tail -= removedBeforeTail;
    RemoveMatches(text, length);
  }
  return firstChange;
}

void ReceiveFilter::Reset() {
  m_bPrimed = false;
  m_previousJoins.clear();
  m_joins.clear();
}

void ReceiveFilter::FindMatches(std::u16string_view text, std::u16string_view condition, std::size_t tail,
                                bool wholeText, std::size_t floor) {
  m_matches.clear();
  const std::size_t length = condition.size();
  const std::size_t lastStart = text.size() - length;
  std::size_t cursor = floor;  // a match ends the search for overlapping ones
  // Start positions lo..hi, taken in increasing order across calls.
  const auto scan = [&](std::size_t lo, std::size_t hi) {
    lo = std::max(lo, cursor);
    while (lo <= hi) {
      const std::size_t found = text.substr(lo, hi - lo + length).find(condition);
      if (found == std::u16string_view::npos) {
        return;
      }
      m_matches.push_back(lo + found);
      lo += found + length;
      cursor = lo;
    }
  };
  const auto firstStartReaching = [length](std::size_t position) {
    return position + 1 > length ? position + 1 - length : 0;
  };

  if (wholeText) {
    scan(0, lastStart);
    return;
  }
  m_merged.clear();
  std::merge(m_previousJoins.begin(), m_previousJoins.end(), m_joins.begin(), m_joins.end(),
             std::back_inserter(m_merged));
  m_merged.erase(std::unique(m_merged.begin(), m_merged.end()), m_merged.end());
  for (std::size_t join : m_merged) {
    if (join > tail) {
      break;  // the tail's window covers it
    }
    // A match spanning the join holds the characters at join - 1 and join.
    scan(firstStartReaching(join), std::min(join - 1, lastStart));
  }
  scan(firstStartReaching(tail), lastStart);
}

void ReceiveFilter::RemoveMatches(std::u16string& text, std::size_t length) {
  // One sweep: erasing match by match would move the rest of the text once per match.
  char16_t* chars = text.data();
  std::size_t write = m_matches.front();
  for (std::size_t i = 0; i < m_matches.size(); ++i) {
    const std::size_t read = m_matches[i] + length;
    const std::size_t end = i + 1 < m_matches.size() ? m_matches[i + 1] : text.size();
    std::char_traits<char16_t>::move(chars + write, chars + read, end - read);
    write += end - read;
  }
  text.resize(write);

  ShiftJoins(m_previousJoins, length, write);
  ShiftJoins(m_joins, length, write);
  const std::size_t oldCount = m_joins.size();
  for (std::size_t i = 0; i < m_matches.size(); ++i) {
    const std::size_t join = m_matches[i] - i * length;
    if (join > 0 && join < write && (m_joins.size() == oldCount || m_joins.back() != join)) {
      m_joins.push_back(join);
    }
  }
  std::inplace_merge(m_joins.begin(), m_joins.begin() + static_cast<std::ptrdiff_t>(oldCount), m_joins.end());
  m_joins.erase(std::unique(m_joins.begin(), m_joins.end()), m_joins.end());
}

// Moves sorted join positions to where the removal of m_matches left them; a join inside a
// removed match lands on the join that removal makes. Joins at either end of the text can
// never be spanned and are dropped.
void ReceiveFilter::ShiftJoins(std::vector<std::size_t>& joins, std::size_t length, std::size_t newSize) const {
  std::size_t before = 0;  // matches that end at or before the join
  std::size_t kept = 0;
  for (std::size_t join : joins) {
    while (before < m_matches.size() && m_matches[before] + length <= join) {
      ++before;
    }
    const bool inside = before < m_matches.size() && m_matches[before] < join;
    const std::size_t moved = (inside ? m_matches[before] : join) - before * length;
    if (moved > 0 && moved < newSize && (kept == 0 || joins[kept - 1] != moved)) {
      joins[kept++] = moved;
    }
  }
  joins.resize(kept);
}
