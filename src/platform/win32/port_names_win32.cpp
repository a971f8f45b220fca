#include "platform/port_names.h"

namespace platform {

bool NamesSerialPort(std::u16string_view text) { return text.find(u"COM") != std::u16string_view::npos; }

std::u16string_view DefaultPortName() { return u"COM1"; }

}  // namespace platform
