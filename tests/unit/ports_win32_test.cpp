#include "platform/win32/ports_win32.h"

#include <cstring>
#include <string>

#include <gtest/gtest.h>

namespace {

using namespace platform;
using namespace platform::win32_ports;

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

// A registry tree of the test's own below HKEY_CURRENT_USER, deleted afterwards.
class FakeRegistry {
 public:
  FakeRegistry() : m_path(u"Software\\TarvolmTest\\ports-" + Number(::GetCurrentProcessId())) {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, Wide(m_path));
    ::RegCreateKeyExW(HKEY_CURRENT_USER, Wide(m_path), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_root, nullptr);
  }
  ~FakeRegistry() {
    ::RegCloseKey(m_root);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, Wide(m_path));
    ::RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\TarvolmTest");  // kept while another run uses it
  }
  HKEY Root() const { return m_root; }
  const std::u16string& Path() const { return m_path; }

  void String(const std::u16string& key, const std::u16string& name, const std::u16string& value) const {
    HKEY k = Create(key);
    ::RegSetValueExW(k, Wide(name), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * 2));
    ::RegCloseKey(k);
  }
  void Number(const std::u16string& key, const std::u16string& name, DWORD value) const {
    HKEY k = Create(key);
    ::RegSetValueExW(k, Wide(name), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    ::RegCloseKey(k);
  }
  void Key(const std::u16string& key) const { ::RegCloseKey(Create(key)); }

 private:
  static std::u16string Number(DWORD n) {
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
  }
  HKEY Create(const std::u16string& key) const {
    HKEY k = nullptr;
    ::RegCreateKeyExW(m_root, Wide(key), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
    return k;
  }
  std::u16string m_path;
  HKEY m_root = nullptr;
};

PortEnumerationError Thrown(const auto& call) {
  try {
    call();
  } catch (const PortEnumerationError& error) {
    return error;
  }
  ADD_FAILURE() << "no PortEnumerationError";
  return {};
}

TEST(PortStrategy, FollowsTheWindowsVersion) {
  EXPECT_EQ(ChooseStrategy(10, VER_PLATFORM_WIN32_NT), Strategy::Interface);
  EXPECT_EQ(ChooseStrategy(5, VER_PLATFORM_WIN32_NT), Strategy::Interface);
  EXPECT_EQ(ChooseStrategy(4, VER_PLATFORM_WIN32_NT), Strategy::Probing);
  EXPECT_EQ(ChooseStrategy(4, VER_PLATFORM_WIN32_WINDOWS), Strategy::Registry);
  EXPECT_EQ(ErrorText(u"SetupDiGetClassDevs failed. (err=%lx)", 0xE000020B), u"SetupDiGetClassDevs failed. (err=e000020b)");
  EXPECT_EQ(ErrorText(u"x (err=%lx))", 0), u"x (err=0))");
}

// Probing asks the device namespace, never an open, which of COM1 to COM16 there are.
TEST(PortStrategy, ProbingOffersTheKnownOfCom1ToCom16InOrder) {
  std::vector<std::u16string> asked;
  std::vector<SerialDeviceInfo> devices;
  ListProbedPorts(devices, [&](std::u16string_view name) {
    asked.emplace_back(name);
    return name == u"COM16" || name == u"COM2";
  });
  EXPECT_EQ(asked.size(), 16u);
  EXPECT_EQ(asked.front(), u"COM1");
  ASSERT_EQ(devices.size(), 2u);
  EXPECT_EQ(devices[0].devicePath, u"\\\\.\\COM2");
  EXPECT_EQ(devices[1].portName, u"COM16");
  EXPECT_EQ(devices[1].listing, DeviceListing::PortName);
  EXPECT_TRUE(devices[1].friendlyName.empty() && devices[1].description.empty());
}

// A detail reader that behaves as SetupDi does for one interface with this path.
DetailReader InterfaceWithPath(const std::u16string& path, int* calls) {
  return [path, calls](SP_DEVICE_INTERFACE_DETAIL_DATA_W* detail, DWORD size, DWORD* required) -> BOOL {
    ++*calls;
    const DWORD needed = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath) + (path.size() + 1) * 2;
    if (detail->cbSize != sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) {
      ::SetLastError(ERROR_INVALID_USER_BUFFER);
      return FALSE;
    }
    if (required) *required = needed;
    if (size < needed) {
      ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return FALSE;
    }
    std::memcpy(detail->DevicePath, path.c_str(), (path.size() + 1) * 2);
    return TRUE;
  };
}

TEST(InterfacePath, ShortAndLongPathsAreReadWhole) {
  int calls = 0;
  const std::u16string shortPath = u"\\\\?\\acpi#pnp0501#1#{86e0d1e0-8089-11d0-9ce4-08003e301f73}";
  EXPECT_EQ(ReadInterfacePath(InterfaceWithPath(shortPath, &calls)), shortPath);
  EXPECT_EQ(calls, 1);

  // Longer than the 262-byte buffer holds, as Bluetooth serial ports' paths are.
  const std::u16string longPath =
      u"\\\\?\\bthenum#{00001101-0000-1000-8000-00805f9b34fb}_localmfg&0002#7&2a4ed2e3&0&000000000000_00000000#"
      u"{86e0d1e0-8089-11d0-9ce4-08003e301f73}";
  ASSERT_GT(longPath.size(), 128u);
  calls = 0;
  EXPECT_EQ(ReadInterfacePath(InterfaceWithPath(longPath, &calls)), longPath);
  EXPECT_EQ(calls, 2);
}

TEST(InterfacePath, AnUnreadableDetailEndsTheListWithItsCode) {
  const auto error = Thrown([] {
    ReadInterfacePath([](SP_DEVICE_INTERFACE_DETAIL_DATA_W*, DWORD, DWORD*) -> BOOL {
      ::SetLastError(ERROR_INVALID_USER_BUFFER);
      return FALSE;
    });
  });
  EXPECT_EQ(error.message, u"SetupDiGetDeviceInterfaceDetail failed. (err=6f8))");
  // Too small a buffer without a size to grow to must not loop.
  const auto small = Thrown([] {
    ReadInterfacePath([](SP_DEVICE_INTERFACE_DETAIL_DATA_W*, DWORD, DWORD*) -> BOOL {
      ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return FALSE;
    });
  });
  EXPECT_EQ(small.message, u"SetupDiGetDeviceInterfaceDetail failed. (err=7a))");
}

TEST(EnumTree, TakesUartAndUsbPortInstancesWithTheirNames) {
  FakeRegistry registry;
  registry.String(u"Enum\\BIOS\\*PNP0500\\0D", u"PORTNAME", u"COM1");
  registry.String(u"Enum\\BIOS\\*PNP0500\\0D", u"FRIENDLYNAME", u"Communications Port (COM1)");
  registry.String(u"Enum\\BIOS\\*PNP0501\\0E", u"PORTNAME", u"COM2");
  registry.String(u"Enum\\BIOS\\*PNP0400\\0F", u"PORTNAME", u"LPT1");     // a printer port
  registry.String(u"Enum\\BIOS\\*PNP0501\\10", u"FRIENDLYNAME", u"x");    // no port name
  registry.Number(u"Enum\\BIOS\\*PNP0501\\11", u"PORTNAME", 3);          // not a text
  registry.String(u"Enum\\BIOS\\*PNP0501\\12", u"PORTNAME", std::u16string(70, u'C'));  // over 128 bytes
  registry.String(u"Enum\\USBPORTS\\VID_0403\\0001", u"PORTNAME", u"COM1");

  std::vector<SerialDeviceInfo> devices;
  ListEnumTreePorts(registry.Root(), devices);
  ASSERT_EQ(devices.size(), 3u);
  EXPECT_EQ(devices[0].portName, u"COM1");
  EXPECT_EQ(devices[0].devicePath, u"\\\\.\\COM1");
  EXPECT_EQ(devices[0].friendlyName, u"Communications Port (COM1)");
  EXPECT_FALSE(devices[0].usb);
  EXPECT_EQ(devices[0].listing, DeviceListing::Registry);  // the later COM1 takes this one's place
  EXPECT_EQ(devices[1].portName, u"COM2");
  EXPECT_EQ(devices[1].friendlyName, u"");
  EXPECT_EQ(devices[2].portName, u"COM1");
  EXPECT_TRUE(devices[2].usb);
}

TEST(EnumTree, AMissingEnumKeyIsReported) {
  FakeRegistry registry;
  std::vector<SerialDeviceInfo> devices;
  EXPECT_EQ(Thrown([&] { ListEnumTreePorts(registry.Root(), devices); }).message, u"Could not read from HKLM\\Enum");
}

TEST(SerialComm, ValueDataNamesThePortsInTheKeysOrder) {
  FakeRegistry registry;
  registry.String(u"SERIALCOMM", u"\\Device\\Serial0", u"COM1");
  registry.String(u"SERIALCOMM", u"\\Device\\VCP0", u"COM12");
  registry.String(u"SERIALCOMM", u"\\Device\\Empty", u"");
  registry.Number(u"SERIALCOMM", u"\\Device\\Odd", 5);
  std::vector<SerialDeviceInfo> devices;
  ListSerialCommPorts(HKEY_CURRENT_USER, Wide(registry.Path() + u"\\SERIALCOMM"), devices);
  ASSERT_EQ(devices.size(), 2u);
  EXPECT_EQ(devices[0].devicePath, u"\\\\.\\COM1");
  EXPECT_EQ(devices[1].portName, u"COM12");
  EXPECT_EQ(devices[1].listing, DeviceListing::Registry);

  devices.clear();
  ListSerialCommPorts(HKEY_CURRENT_USER, Wide(registry.Path() + u"\\Missing"), devices);
  EXPECT_TRUE(devices.empty());
}

// Wine registers no COM-port interfaces but lists its ports in SERIALCOMM; Windows has both.
TEST(ListSerialDevices, TheSystemsPortsHaveDevicePaths) {
  std::vector<SerialDeviceInfo> devices;
  ASSERT_NO_THROW(devices = ListSerialDevices());
  if (devices.empty()) GTEST_SKIP() << "this system lists no serial port";
  for (const auto& device : devices) {
    EXPECT_EQ(device.devicePath.substr(0, 2), u"\\\\");
    if (device.listing != DeviceListing::Interface) {
      EXPECT_FALSE(device.portName.empty());
    }
  }
}

}  // namespace
