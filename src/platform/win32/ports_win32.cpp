#include "platform/win32/ports_win32.h"
#include "res/string_table.h"

#include <cstdio>

#include "platform/port_identity.h"
#include "platform/text.h"

namespace platform {
namespace win32_ports {

Strategy ChooseStrategy(DWORD majorVersion, DWORD platformId) {
  if (majorVersion >= 5) return Strategy::Interface;
  return platformId == VER_PLATFORM_WIN32_NT ? Strategy::Probing : Strategy::Registry;
}

std::u16string ErrorText(std::u16string_view format, DWORD code) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "%lx", static_cast<unsigned long>(code));
  std::u16string message(format);
  if (const auto at = message.find(u"%lx"); at != std::u16string::npos) message.replace(at, 3, text::FromUtf8(hex));
  return message;
}

void ListProbedPorts(std::vector<SerialDeviceInfo>& devices, const std::function<bool(std::u16string_view)>& known) {
  for (int n = 1; n <= 16; ++n) {
    SerialDeviceInfo device;
    device.portName = u"COM" + text::Decimal(n);
    if (!known(device.portName)) continue;
    device.devicePath = u"\\\\.\\" + device.portName;
    device.listing = DeviceListing::PortName;
    devices.push_back(std::move(device));
  }
}

}  // namespace win32_ports

std::vector<SerialDeviceInfo> ListSerialDevices(const std::string& /*sysfsRoot*/) {
  using namespace win32_ports;
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (!::GetVersionExW(&version)) {
    throw PortEnumerationError{ErrorText(FindResourceString(IDS_OS_VERSION_ERROR), ::GetLastError())};
  }
  std::vector<SerialDeviceInfo> devices;
  switch (ChooseStrategy(version.dwMajorVersion, version.dwPlatformId)) {
    case Strategy::Interface:
      ListInterfacePorts(devices);
      // Ports that no driver registers as an interface (Wine's, some virtual ones) are still
      // in the serial map every port driver fills.
      if (devices.empty()) ListSerialCommPorts(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", devices);
      break;
    case Strategy::Probing:
      ListProbedPorts(devices, [](std::u16string_view name) { return ResolvePortIdentity(name).has_value(); });
      break;
    case Strategy::Registry:
      ListEnumTreePorts(HKEY_LOCAL_MACHINE, devices);
      break;
  }
  return devices;
}

}  // namespace platform
