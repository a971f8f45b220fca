#include "send/hex_string.h"

#include <algorithm>

namespace {
// White space as the platform's wide-character classification has it.
bool IsWideSpace(char16_t c) {
  return c == u' ' || (c >= u'\t' && c <= u'\r') || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// Two characters leave no room for a digit after a "0x" prefix, so the prefix never changes
// the value: "0x" reads as its "0".
std::uint8_t PairValue(char16_t first, char16_t second) {
  const char16_t pair[2] = {first, second};
  int i = 0;
  if (IsWideSpace(pair[0])) ++i;
  bool negative = false;
  if (i < 2 && (pair[i] == u'+' || pair[i] == u'-')) negative = pair[i++] == u'-';
  int value = 0;
  for (; i < 2; ++i) {
    const int digit = HexDigit(pair[i]);
    if (digit < 0) break;
    value = value * 16 + digit;
  }
  return static_cast<std::uint8_t>(negative ? -value : value);
}
}  // namespace

void HexStrToBytes(std::u16string_view text, std::uint8_t* out, int& count) {
  text = text.substr(0, text.find(u'\0'));
  const int pairs = static_cast<int>(std::min<std::size_t>(text.size() / 2, static_cast<std::size_t>(std::max(count, 0))));
  for (int i = 0; i < pairs; ++i) out[i] = PairValue(text[2 * i], text[2 * i + 1]);
  // Always the number produced: a text cut short by U+0000 must not leave bytes unwritten
  // but counted.
  count = pairs;
}
