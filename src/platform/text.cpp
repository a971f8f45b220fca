#include "platform/text.h"

#include <cwctype>
#include <limits>

namespace text {

namespace {
// The code point that starts at s[i] and its length in bytes; false (with U+FFFD, one
// byte) when no valid character starts there.
bool DecodeUtf8At(std::string_view s, std::size_t i, char32_t& cp, std::size_t& len) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  cp = 0xFFFD;
  len = 1;
  if (b0 < 0x80) {
    cp = b0;
    return true;
  }
  const int extra = b0 >= 0xC2 && b0 < 0xE0 ? 1 : b0 >= 0xE0 && b0 < 0xF0 ? 2 : b0 >= 0xF0 && b0 < 0xF5 ? 3 : 0;
  if (extra == 0 || i + extra >= s.size()) return false;
  char32_t v = b0 & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) return false;
    v = (v << 6) | (b & 0x3F);
  }
  const char32_t minimum = extra == 1 ? 0x80 : extra == 2 ? 0x800 : 0x10000;
  if (v < minimum || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return false;
  cp = v;
  len = static_cast<std::size_t>(extra) + 1;
  return true;
}
}  // namespace

std::u16string FromUtf8(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  char32_t cp = 0;
  std::size_t len = 0;
  for (std::size_t i = 0; i < s.size(); i += len) {
    DecodeUtf8At(s, i, cp, len);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

bool IsValidUtf8(std::string_view s) {
  char32_t cp = 0;
  std::size_t len = 0;
  for (std::size_t i = 0; i < s.size(); i += len) {
    if (!DecodeUtf8At(s, i, cp, len)) return false;
  }
  return true;
}

std::string ToUtf8(std::u16string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    char32_t cp = s[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

std::u16string Decimal(std::uint64_t value) {
  char16_t buf[24];
  int pos = 24;
  do {
    buf[--pos] = static_cast<char16_t>(u'0' + value % 10);
    value /= 10;
  } while (value != 0);
  return std::u16string(buf + pos, buf + 24);
}

std::u16string Decimal(std::int64_t value) {
  if (value >= 0) return Decimal(static_cast<std::uint64_t>(value));
  const auto magnitude = static_cast<std::uint64_t>(0) - static_cast<std::uint64_t>(value);
  return u"-" + Decimal(magnitude);
}

std::u16string HexByteLower(std::uint8_t value) {
  static constexpr char16_t digits[] = u"0123456789abcdef";
  return {digits[value >> 4], digits[value & 15]};
}

std::u16string FormatOne(std::u16string_view format, std::u16string_view argument) {
  std::u16string out(format);
  for (std::size_t i = 0; i + 1 < out.size(); ++i) {
    if (out[i] == u'%' && (out[i + 1] == u's' || out[i + 1] == u'd')) {
      out.replace(i, 2, argument);
      break;
    }
  }
  return out;
}

std::u16string ReplaceAll(std::u16string_view s, std::u16string_view from, std::u16string_view to) {
  if (from.empty()) return std::u16string(s);
  std::u16string out;
  out.reserve(s.size());
  std::size_t pos = 0;
  for (;;) {
    const auto hit = s.find(from, pos);
    if (hit == std::u16string_view::npos) break;
    out.append(s.substr(pos, hit - pos));
    out.append(to);
    pos = hit + from.size();
  }
  out.append(s.substr(pos));
  return out;
}

namespace {
char32_t FoldCase(char16_t c) {
  return static_cast<char32_t>(std::towlower(static_cast<wint_t>(c)));
}
}  // namespace

bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
  if (prefix.size() > text.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (FoldCase(text[i]) != FoldCase(prefix[i])) return false;
  }
  return true;
}

int ParseInt(std::u16string_view s, bool* ok) {
  std::size_t i = 0;
  while (i < s.size() && (s[i] == u' ' || (s[i] >= u'\t' && s[i] <= u'\r'))) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) negative = s[i++] == u'-';
  long long value = 0;
  bool digits = false;
  while (i < s.size() && s[i] >= u'0' && s[i] <= u'9') {
    digits = true;
    if (value < std::numeric_limits<int>::max()) value = value * 10 + (s[i] - u'0');
    ++i;
  }
  if (ok) *ok = digits;
  if (!digits) return 0;
  if (negative) value = -value;
  if (value > std::numeric_limits<int>::max()) value = std::numeric_limits<int>::max();
  if (value < std::numeric_limits<int>::min()) value = std::numeric_limits<int>::min();
  return static_cast<int>(value);
}

}  // namespace text
