#include "receive/log_file_name.h"

#include "platform/text.h"

namespace {
std::u16string TwoDigits(int value) { return (value < 10 ? u"0" : u"") + text::Decimal(value); }
}  // namespace

std::u16string LogFileName(std::u16string_view port, const platform::LocalTime& t) {
  if (port.starts_with(u"/dev/")) port.remove_prefix(5);
  if (port.starts_with(u"\\\\.\\")) port.remove_prefix(4);
  std::u16string name;
  for (const char16_t c : port) {
    constexpr std::u16string_view kUnsafe = u"/\\:*?\"<>| ";
    name += c < 0x20 || kUnsafe.find(c) != std::u16string_view::npos ? u'-' : c;
  }
  if (name.empty()) name = u"port";
  return u"tarvolm-" + name + u"-" + text::Decimal(t.year) + TwoDigits(t.month) + TwoDigits(t.day) + u"-" +
         TwoDigits(t.hour) + TwoDigits(t.minute) + TwoDigits(t.second) + u".log";
}
