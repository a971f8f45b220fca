#include "receive/save_file_name.h"

#include "platform/text.h"

std::u16string SaveFileName(const platform::LocalTime& t) {
  return u"CR " + text::Decimal(t.year) + u"-" + text::Decimal(t.month) + u"-" + text::Decimal(t.day) + u" " +
         text::Decimal(t.hour) + u"-" + text::Decimal(t.minute) + u"-" + text::Decimal(t.second);
}
