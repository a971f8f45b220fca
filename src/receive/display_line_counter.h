#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

// The number of display lines of the word-wrapping receive box, kept as the text grows so
// that Auto Clear and the group caption never wait for the widget. "\r\n", a lone "\n" and a
// lone "\r" each end a line. A line wider than the box wraps after its last space (spaces at
// a wrap stay on the upper line, even beyond the edge), or, without a space, before the
// character that does not fit; a character wider than the box still takes a line of its own.
class DisplayLineCounter {
 public:
  // Advance of one UTF-16 unit, in pixels; the same for a character every time it is asked.
  // Called at most once per character an Update re-wraps, and once for good below U+0100.
  using CharWidth = std::function<int(char16_t)>;
  DisplayLineCounter(int boxWidthPixels, CharWidth width);
  void Reset();  // empty text: 1 line
  // text is the whole text; nothing before firstChange changed since the last Update.
  // Re-wraps from shortly before the display line that holds firstChange to the end of text.
  void Update(std::u16string_view text, std::size_t firstChange);
  int LineCount() const;  // an empty box counts as one line

 private:
  void WrapFrom(std::u16string_view text, std::size_t lineStart);
  int WidthOf(char16_t c);


  int m_boxWidth;
  CharWidth m_width;
  // A font lookup per character would dominate a flood of hex text; these are measured once.
  std::array<int, 256> m_latin1Widths;  // -1: not measured yet
  std::vector<std::size_t> m_lineStarts;  // first character of each display line; starts with 0
};
