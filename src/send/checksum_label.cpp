#include "send/checksum_label.h"

#include <algorithm>
#include <vector>

#include "platform/text.h"
#include "send/hex_string.h"

ByteChecksums ChecksumsOfHexText(std::u16string text, int selectionStart, int selectionEnd, bool ignoreSpace) {
  const int length = static_cast<int>(text.size());
  const int from = std::clamp(std::min(selectionStart, selectionEnd), 0, length);
  const int to = std::clamp(std::max(selectionStart, selectionEnd), 0, length);
  if (from != to) text = text.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
  if (ignoreSpace) std::erase(text, u' ');
  if (text.size() == 1) text.insert(text.begin(), u'0');
  int count = static_cast<int>(text.size() / 2);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count));
  HexStrToBytes(text, bytes.data(), count);
  ByteChecksums sums;
  for (int i = 0; i < count; ++i) {
    sums.xorValue ^= bytes[static_cast<std::size_t>(i)];
    sums.sum = static_cast<std::uint8_t>(sums.sum + bytes[static_cast<std::size_t>(i)]);
  }
  return sums;
}

std::u16string ChecksumLabel(const ByteChecksums& sums) {
  return u"CRC xor:" + text::HexByteLower(sums.xorValue) + u"  add:" + text::HexByteLower(sums.sum);
}
