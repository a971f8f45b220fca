#pragma once

#include <string>
#include <vector>

namespace platform {

// How the port list takes a device in.
enum class DeviceListing {
  Interface,  // found through a device interface: listed only with a friendly name and a description
  PortName,   // found by its port name alone: listed as it is
  Registry,   // from a registry walk: a later device with the same port name takes the earlier's place
};

struct SerialDeviceInfo {
  std::u16string devicePath;    // what CommPort::Open takes: /dev/ttyUSB0, \\.\COM3, an interface path
  std::u16string portName;      // ttyUSB0, COM3; empty for a Windows device interface
  std::u16string friendlyName;  // "<USB product, else driver name> (ttyUSB0)"; the port name alone when neither is known
  std::u16string description;   // USB product, else driver name; empty when neither is known
  bool usb = false;             // the device sits on the USB bus
  DeviceListing listing = DeviceListing::Interface;
};

// A discovery that cannot read what the system knows; the message is for the user.
struct PortEnumerationError {
  std::u16string message;
};

// The serial devices the system knows of, found without opening any of them.
// Linux: every /sys/class/tty/* entry that has a `device` link (virtual consoles and
// pseudo-terminals have none), except UART ports whose `type` is 0 (no UART behind them: the
// legacy ttyS slots, which cannot be opened). Sorted by name, with digit runs compared as
// numbers (ttyS2 before ttyS10). sysfsRoot is for tests.
// Windows: by the system's version, the COM-port device interfaces (or, when there are none,
// the ports the registry's SERIALCOMM map names), those of COM1 to COM16 that the device
// namespace knows on NT 4, or the registry's Enum tree on the 9x family; sysfsRoot is not
// used. Throws PortEnumerationError.
std::vector<SerialDeviceInfo> ListSerialDevices(const std::string& sysfsRoot = "/sys");

}  // namespace platform
