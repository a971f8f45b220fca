#include "platform/profile_line_breaks.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace platform::profile_line_breaks {
namespace {
constexpr std::u16string_view kOpen = u"\\lines{";
constexpr char16_t kClose = u'}';
// Each character written with a backslash, and the one that follows the backslash.
constexpr std::pair<char16_t, char16_t> kEscapes[] = {{u'\\', u'\\'}, {u'\r', u'r'}, {u'\n', u'n'}};
}  // namespace

bool HasLineBreak(std::u16string_view value) { return value.find_first_of(u"\r\n") != std::u16string_view::npos; }

std::u16string Escape(std::u16string_view value) {
  std::u16string stored;
  stored.reserve(value.size() + kOpen.size() + 8);
  stored += u'"';
  stored += kOpen;
  for (const char16_t c : value) {
    const auto escape = std::ranges::find(kEscapes, c, &std::pair<char16_t, char16_t>::first);
    if (escape == std::end(kEscapes)) {
      stored += c;
    } else {
      stored += u'\\';
      stored += escape->second;
    }
  }
  stored += kClose;
  stored += u'"';
  return stored;
}

std::optional<std::u16string> Unescape(std::u16string_view quoted) {
  if (!quoted.starts_with(kOpen) || quoted.size() <= kOpen.size() || quoted.back() != kClose) return std::nullopt;
  const std::u16string_view text = quoted.substr(kOpen.size(), quoted.size() - kOpen.size() - 1);
  std::u16string value;
  value.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'\\') {
      value += text[i];
      continue;
    }
    if (++i == text.size()) return std::nullopt;
    const auto escape = std::ranges::find(kEscapes, text[i], &std::pair<char16_t, char16_t>::second);
    if (escape == std::end(kEscapes)) return std::nullopt;
    value += escape->first;
  }
  if (!HasLineBreak(value)) return std::nullopt;
  return value;
}

}  // namespace platform::profile_line_breaks
