#include <cstddef>
#include <vector>

#include "platform/win32/ports_win32.h"
#include "res/string_table.h"

namespace platform::win32_ports {
namespace {

// {86E0D1E0-8089-11D0-9CE4-08003E301F73}, the COM-port device interface class.
constexpr GUID kComPortInterface = {0x86E0D1E0, 0x8089, 0x11D0, {0x9C, 0xE4, 0x08, 0x00, 0x3E, 0x30, 0x1F, 0x73}};

constexpr DWORD kClassicDetailBytes = 262;
constexpr DWORD kPropertyBytes = 512;

// The device information set, destroyed however the walk is left.
class DeviceSet {
 public:
  DeviceSet()
      : m_set(::SetupDiGetClassDevsW(&kComPortInterface, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE)) {}
  ~DeviceSet() {
    if (m_set != INVALID_HANDLE_VALUE) ::SetupDiDestroyDeviceInfoList(m_set);
  }
  DeviceSet(const DeviceSet&) = delete;
  DeviceSet& operator=(const DeviceSet&) = delete;
  HDEVINFO Get() const { return m_set; }

 private:
  HDEVINFO m_set;
};

[[noreturn]] void Fail(std::u16string_view format, DWORD code) { throw PortEnumerationError{ErrorText(format, code)}; }

// Text up to its first terminator, from at most `bytes` bytes of UTF-16.
std::u16string TextOf(const void* data, std::size_t bytes) {
  std::u16string value(static_cast<const char16_t*>(data), bytes / 2);
  return value.substr(0, value.find(u'\0'));
}

// A text property of the device; false when the device has none. A text longer than the usual
// buffer is read whole.
bool ReadProperty(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property, std::u16string& value) {
  std::vector<BYTE> buffer(kPropertyBytes);
  for (;;) {
    DWORD required = 0;
    if (::SetupDiGetDeviceRegistryPropertyW(set, &device, property, nullptr, buffer.data(),
                                            static_cast<DWORD>(buffer.size()), &required)) {
      value = TextOf(buffer.data(), buffer.size());
      return true;
    }
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || required <= buffer.size()) return false;
    buffer.resize(required);
  }
}

}  // namespace

std::u16string ReadInterfacePath(const DetailReader& read) {
  DWORD size = kClassicDetailBytes;
  for (;;) {
    // DWORDs keep the structure aligned.
    std::vector<DWORD> buffer((size + sizeof(DWORD) - 1) / sizeof(DWORD));
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    DWORD required = 0;
    if (read(detail, size, &required)) {
      const std::size_t offset = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath);
      return TextOf(reinterpret_cast<const BYTE*>(detail) + offset, size - offset);
    }
    const DWORD error = ::GetLastError();
    // A path longer than the classic buffer (Bluetooth ports have them) is read whole rather
    // than ending the list.
    if (error == ERROR_INSUFFICIENT_BUFFER && required > size) {
      size = required;
      continue;
    }
    Fail(FindResourceString(IDS_INTERFACE_DETAIL_ERROR), error);
  }
}

void ListInterfacePorts(std::vector<SerialDeviceInfo>& devices) {
  const DeviceSet set;
  if (set.Get() == INVALID_HANDLE_VALUE) Fail(FindResourceString(IDS_CLASS_DEVS_ERROR), ::GetLastError());
  for (DWORD index = 0;; ++index) {
    SP_DEVICE_INTERFACE_DATA interfaceData{};
    interfaceData.cbSize = sizeof interfaceData;
    if (!::SetupDiEnumDeviceInterfaces(set.Get(), nullptr, &kComPortInterface, index, &interfaceData)) {
      const DWORD error = ::GetLastError();
      if (error == ERROR_NO_MORE_ITEMS) return;
      Fail(FindResourceString(IDS_ENUM_INTERFACES_ERROR), error);
    }
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    SerialDeviceInfo info;
    info.devicePath = ReadInterfacePath([&](SP_DEVICE_INTERFACE_DETAIL_DATA_W* detail, DWORD size, DWORD* required) {
      return ::SetupDiGetDeviceInterfaceDetailW(set.Get(), &interfaceData, detail, size, required, &device);
    });
    // The description is only of use beside a friendly name.
    if (ReadProperty(set.Get(), device, SPDRP_FRIENDLYNAME, info.friendlyName)) {
      ReadProperty(set.Get(), device, SPDRP_DEVICEDESC, info.description);
    }
    std::u16string location;
    info.usb = ReadProperty(set.Get(), device, SPDRP_LOCATION_INFORMATION, location) && location.starts_with(u"USB");
    info.listing = DeviceListing::Interface;
    devices.push_back(std::move(info));
  }
}

}  // namespace platform::win32_ports
