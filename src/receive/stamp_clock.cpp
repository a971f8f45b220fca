#include "receive/stamp_clock.h"

void AppendStamp(std::int64_t ms, std::u16string& out) {
  constexpr std::int64_t kDay = 24LL * 60 * 60 * 1000;
  ms = ((ms % kDay) + kDay) % kDay;
  const auto digits = [&out](std::int64_t value, int count) {
    char16_t buffer[3];
    for (int i = count - 1; i >= 0; --i) {
      buffer[i] = static_cast<char16_t>(u'0' + value % 10);
      value /= 10;
    }
    out.append(buffer, static_cast<std::size_t>(count));
  };
  out += u'[';
  digits(ms / 3600000, 2);
  out += u':';
  digits(ms / 60000 % 60, 2);
  out += u':';
  digits(ms / 1000 % 60, 2);
  out += u'.';
  digits(ms % 1000, 3);
  out += u"] ";
}
