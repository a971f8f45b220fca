#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// The dump form of received bytes, 16 to a line: the offset in 8 hexadecimal digits, the
// pairs with a gap after the eighth, and the bytes as text (other than ASCII 0x20-0x7E as '.'):
// "00000010  41 42 43 44 45 46 47 48  49 4A 4B 4C 4D 4E 4F 50  ABCDEFGHIJKLMNOP\r\n"
// A line not yet full shows what has come, its text column in place, and is written again as
// the rest arrives; only a full line ends in a line break.
class HexDump {
 public:
  // The next byte has `offset` and begins a line; the low 32 bits are shown.
  void Start(std::uint64_t offset);
  // Appends the dump of `data` to `text`, first taking back the unfinished line it left at
  // the end of `text`. Returns where `text` changed.
  std::size_t Append(const std::uint8_t* data, std::size_t size, std::u16string& text);

  static constexpr std::size_t kBytesPerLine = 16;

 private:
  std::uint64_t m_lineOffset = 0;
  std::array<std::uint8_t, kBytesPerLine> m_line{};  // the unfinished line's bytes
  std::size_t m_lineBytes = 0;
  std::size_t m_lineStart = 0;  // where that line begins in the text
  std::size_t m_textEnd = 0;    // the text's length after the last Append
};
