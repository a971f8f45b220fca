#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Removes the filter conditions from the receive text after each chunk. The result is that
// of whole-text passes (for each condition in order, every leftmost non-overlapping,
// case-sensitive occurrence in the whole text goes; an empty condition removes nothing), but
// the cost follows the chunk, not the text: after a pass, a match can only span a join that
// a removal made since that condition's previous pass, or reach into the appended tail. So
// only the neighbourhood of the joins of the previous chunk's and this chunk's removals and
// the tail is searched.
//
// The joins are positions in the text as Apply left it: any change to the text other than
// appending the next chunk (clearing it, or appending a chunk without filtering it) must be
// followed by Reset().
class ReceiveFilter {
 public:
  // text already holds the new chunk appended at oldLength. Returns the lowest index at which
  // the text may differ from its state before the append (<= oldLength): no character before
  // it was touched, so the display can replace only from there. No match starts before
  // `floor`: what lies before it (a time stamp, a sent line) is not received text.
  std::size_t Apply(std::u16string& text, std::size_t oldLength, const std::vector<std::u16string>& conditions,
                    std::size_t floor = 0);
  // Text emptied (Clear Receive, Auto Clear) or filter not applied to a chunk: forget joins.
  void Reset();

 private:
  // Start positions of the matches of one pass, found where a match is possible.
  void FindMatches(std::u16string_view text, std::u16string_view condition, std::size_t tail, bool wholeText,
                   std::size_t floor);
  void RemoveMatches(std::u16string& text, std::size_t length);
  void ShiftJoins(std::vector<std::size_t>& joins, std::size_t length, std::size_t newSize) const;

  bool m_bPrimed = false;
  std::vector<std::u16string> m_conditions;  // the list of the last filtered chunk
  std::vector<std::size_t> m_previousJoins;  // joins of the previous chunk's removals
  std::vector<std::size_t> m_joins;          // joins of this chunk's removals
  std::vector<std::size_t> m_matches;        // scratch, kept to avoid an allocation per pass
  std::vector<std::size_t> m_merged;         // scratch
};
