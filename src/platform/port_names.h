#pragma once

#include <string_view>

namespace platform {

// Whether a port text can name a serial port of this system: on Windows it holds "COM";
// here it holds "tty" (ttyUSB0, ttyS1) or is a path (/dev/pts/3, /dev/serial/by-id/...).
bool NamesSerialPort(std::u16string_view text);

// The port a first start shows: the usual first serial port of this system.
std::u16string_view DefaultPortName();

}  // namespace platform
