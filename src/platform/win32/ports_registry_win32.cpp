#include <string>

#include "platform/win32/ports_win32.h"
#include "res/string_table.h"

namespace platform::win32_ports {
namespace {

// An open registry key, closed however the walk is left.
class Key {
 public:
  Key(HKEY parent, const std::u16string& name) {
    if (::RegOpenKeyExW(parent, Wide(name), 0, KEY_READ, &m_key) != ERROR_SUCCESS) m_key = nullptr;
  }
  ~Key() {
    if (m_key) ::RegCloseKey(m_key);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  explicit operator bool() const { return m_key != nullptr; }
  HKEY Get() const { return m_key; }

  // The name of subkey `index`; false at the end of the list.
  bool SubkeyName(DWORD index, std::u16string& name) const {
    wchar_t buffer[256];  // a registry key name has at most 255 characters
    DWORD length = 256;
    if (::RegEnumKeyExW(m_key, index, buffer, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      return false;
    }
    name.assign(reinterpret_cast<const char16_t*>(buffer), length);
    return true;
  }

  // A string value of at most maxBytes; false when absent, of another type or longer.
  bool String(const wchar_t* name, DWORD maxBytes, std::u16string& value) const {
    std::u16string buffer(maxBytes / 2 + 1, u'\0');
    DWORD type = 0;
    DWORD size = maxBytes;
    if (::RegQueryValueExW(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
      return false;
    }
    // The stored text need not end with its terminator.
    buffer.resize(size / 2);
    value = buffer.substr(0, buffer.find(u'\0'));
    return true;
  }

  static const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

 private:
  HKEY m_key = nullptr;
};

[[noreturn]] void CannotRead(const std::u16string& what) {
  throw PortEnumerationError{std::u16string(FindResourceString(IDS_ENUM_REGISTRY_ERROR)) + what};
}

SerialDeviceInfo PortRecord(const std::u16string& portName, const std::u16string& friendlyName, bool usb) {
  SerialDeviceInfo device;
  device.devicePath = u"\\\\.\\" + portName;
  device.portName = portName;
  device.friendlyName = friendlyName;
  device.usb = usb;
  device.listing = DeviceListing::Registry;
  return device;
}

// The port instances below one device-type key.
void AddRegistryPortInstances(const Key& deviceType, bool usb, std::vector<SerialDeviceInfo>& devices) {
  std::u16string name;
  for (DWORD index = 0; deviceType.SubkeyName(index, name); ++index) {
    const Key instance(deviceType.Get(), name);
    if (!instance) CannotRead(u"\\...\\" + name);
    std::u16string portName, friendlyName;
    if (!instance.String(L"PORTNAME", 128, portName)) continue;
    instance.String(L"FRIENDLYNAME", 128, friendlyName);
    devices.push_back(PortRecord(portName, friendlyName, usb));
  }
}

}  // namespace

void ListEnumTreePorts(HKEY machine, std::vector<SerialDeviceInfo>& devices) {
  const Key enumKey(machine, u"Enum");
  if (!enumKey) CannotRead(u"");
  std::u16string enumerator, deviceType;
  for (DWORD i = 0; enumKey.SubkeyName(i, enumerator); ++i) {
    const Key enumeratorKey(enumKey.Get(), enumerator);
    if (!enumeratorKey) CannotRead(u"\\" + enumerator);
    const bool usb = enumerator == u"USBPORTS";
    for (DWORD j = 0; enumeratorKey.SubkeyName(j, deviceType); ++j) {
      // Standard and 16550 UART ports, and whatever the USB port enumerator holds.
      if (!usb && deviceType != u"*PNP0500" && deviceType != u"*PNP0501") continue;
      const Key deviceTypeKey(enumeratorKey.Get(), deviceType);
      if (!deviceTypeKey) CannotRead(u"\\" + enumerator + u"\\" + deviceType);
      AddRegistryPortInstances(deviceTypeKey, usb, devices);
    }
  }
}

void ListSerialCommPorts(HKEY root, const wchar_t* path, std::vector<SerialDeviceInfo>& devices) {
  const Key key(root, reinterpret_cast<const char16_t*>(path));
  if (!key) return;
  for (DWORD index = 0;; ++index) {
    wchar_t name[16384];  // the longest value name the registry allows
    DWORD nameLength = 16384;
    if (::RegEnumValueW(key.Get(), index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      break;
    }
    std::u16string portName;
    if (key.String(name, 512, portName) && !portName.empty()) devices.push_back(PortRecord(portName, u"", false));
  }
}

}  // namespace platform::win32_ports
