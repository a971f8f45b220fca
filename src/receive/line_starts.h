#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// Where the lines of what arrives begin, so that each gets its stamp. In text a line begins
// at the start of the view, with the character after "\n", and with the one after a "\r"
// that no "\n" follows (the box shows a lone "\r" as a line break): "\r" and "\n" in two
// chunks end one line, not two. In hex a line begins with an arrival after an idle gap.
// What is not received (a sent line) ends the line it interrupts.
class LineStarts {
 public:
  // Text: the offsets in `decoded`, ascending, before which a line begins.
  void Find(std::u16string_view decoded, std::vector<std::size_t>& starts);
  // Hex: whether an arrival at `nowMs` begins a line.
  bool BeginsAfterGap(std::int64_t nowMs, std::int64_t idleGapMs);
  // What the view needs so that the next text stands on a line of its own.
  std::u16string_view LineBreakNeeded() const;
  // The view ends with a line break now (a sent line went in): what arrives next begins one.
  void LineEnded();
  void Reset();  // the view was emptied

 private:
  bool m_atLineStart = true;
  bool m_afterCr = false;  // the last character was a "\r": a "\n" may still follow
  std::optional<std::int64_t> m_lastArrival;
};
