#include "receive/hex_dump.h"

#include <algorithm>
#include <cstring>

#include "receive/hex_format.h"

namespace {
constexpr std::size_t kHalf = HexDump::kBytesPerLine / 2;
// 8 offset digits, 2 spaces, 16 pairs each with a space, the gap, a space, 16 characters.
constexpr std::size_t kTextColumn = 8 + 2 + 3 * HexDump::kBytesPerLine + 1 + 1;
constexpr std::size_t kLongestLine = kTextColumn + HexDump::kBytesPerLine + 2;

char16_t* WriteLine(char16_t* to, std::uint64_t offset, const std::uint8_t* bytes, std::size_t count) {
  const auto low = static_cast<std::uint32_t>(offset);
  for (int shift = 24; shift >= 0; shift -= 8) {
    const char16_t* pair = HexPairOf(static_cast<std::uint8_t>(low >> shift));
    *to++ = pair[0];
    *to++ = pair[1];
  }
  *to++ = u' ';
  *to++ = u' ';
  for (std::size_t i = 0; i < HexDump::kBytesPerLine; ++i) {
    if (i == kHalf) *to++ = u' ';
    if (i < count) {
      const char16_t* pair = HexPairOf(bytes[i]);
      *to++ = pair[0];
      *to++ = pair[1];
    } else {
      *to++ = u' ';
      *to++ = u' ';
    }
    *to++ = u' ';
  }
  *to++ = u' ';
  for (std::size_t i = 0; i < count; ++i) *to++ = bytes[i] >= 0x20 && bytes[i] < 0x7F ? bytes[i] : u'.';
  if (count == HexDump::kBytesPerLine) {
    *to++ = u'\r';
    *to++ = u'\n';
  }
  return to;
}
}  // namespace

void HexDump::Start(std::uint64_t offset) {
  m_lineOffset = offset;
  m_lineBytes = 0;
}

std::size_t HexDump::Append(const std::uint8_t* data, std::size_t size, std::u16string& text) {
  if (size == 0) return text.size();
  // Someone else's text at the end (a clear, another mode) leaves it alone; the held bytes
  // are not lost but start the line again after it.
  const std::size_t first = m_lineBytes > 0 && text.size() == m_textEnd ? m_lineStart : text.size();
  text.resize(first + ((m_lineBytes + size) / kBytesPerLine + 1) * kLongestLine);
  char16_t* const begin = text.data();
  char16_t* to = begin + first;
  std::size_t used = 0;
  if (m_lineBytes > 0) {
    used = std::min(kBytesPerLine - m_lineBytes, size);
    std::memcpy(m_line.data() + m_lineBytes, data, used);
    m_lineBytes += used;
    if (m_lineBytes == kBytesPerLine) {
      to = WriteLine(to, m_lineOffset, m_line.data(), kBytesPerLine);
      m_lineOffset += kBytesPerLine;
      m_lineBytes = 0;
    }
  }
  for (; size - used >= kBytesPerLine; used += kBytesPerLine) {
    to = WriteLine(to, m_lineOffset, data + used, kBytesPerLine);
    m_lineOffset += kBytesPerLine;
  }
  if (used < size) {
    std::memcpy(m_line.data(), data + used, size - used);
    m_lineBytes = size - used;
  }
  m_lineStart = static_cast<std::size_t>(to - begin);
  if (m_lineBytes > 0) to = WriteLine(to, m_lineOffset, m_line.data(), m_lineBytes);
  text.resize(static_cast<std::size_t>(to - begin));
  m_textEnd = text.size();
  return first;
}
