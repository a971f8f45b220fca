#pragma once

#include <string>
#include <vector>

namespace platform {

struct SerialDeviceInfo {
  std::u16string devicePath;    // e.g. /dev/ttyUSB0
  std::u16string portName;      // e.g. ttyUSB0
  std::u16string friendlyName;  // "<USB product, else driver name> (ttyUSB0)"; the port name alone when neither is known
  std::u16string description;   // USB product, else driver name; empty when neither is known
  bool usb = false;             // the device sits on the USB bus
};

// The serial devices the system knows of: every /sys/class/tty/* entry that has a `device`
// link (virtual consoles and pseudo-terminals have none), except UART ports whose `type` is 0
// (no UART behind them: the legacy ttyS slots, which cannot be opened). Sorted by name, with
// digit runs compared as numbers (ttyS2 before ttyS10). Whether a device can be opened now is
// not tested here. sysfsRoot is for tests.
std::vector<SerialDeviceInfo> ListSerialDevices(const std::string& sysfsRoot = "/sys");

}  // namespace platform
