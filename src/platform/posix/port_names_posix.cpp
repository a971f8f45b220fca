#include "platform/port_names.h"

namespace platform {

bool NamesSerialPort(std::u16string_view text) {
  return text.find(u"tty") != std::u16string_view::npos || (!text.empty() && text.front() == u'/');
}

std::u16string_view DefaultPortName() { return u"ttyUSB0"; }

}  // namespace platform
