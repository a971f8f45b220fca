#include "platform/ports.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using platform::ListSerialDevices;
using platform::SerialDeviceInfo;

// A sysfs tree laid out as the kernel lays it out, relative links included.
class FakeSysfs {
 public:
  const fs::path& Root() const { return m_folder.Path(); }

  void File(const fs::path& path, const std::string& content) const {
    fs::create_directories((Root() / path).parent_path());
    std::ofstream(Root() / path) << content;
  }
  void Link(const fs::path& link, const fs::path& target) const {
    fs::create_directories(Root() / target);
    fs::create_directories((Root() / link).parent_path());
    fs::create_directory_symlink(fs::relative(Root() / target, (Root() / link).parent_path()), Root() / link);
  }
  // A tty device `name` under `parent`, listed in class/tty; without a `device` link when
  // parent is empty (consoles, pseudo-terminals).
  void Tty(const std::string& name, const fs::path& parent, const std::string& type = "") const {
    const fs::path dir = (parent.empty() ? fs::path("devices/virtual/tty") : parent / "tty") / name;
    fs::create_directories(Root() / dir);
    if (!parent.empty()) Link(dir / "device", parent);
    if (!type.empty()) File(dir / "type", type + "\n");
    Link(fs::path("class/tty") / name, dir);
  }

 private:
  testsupport::TempDir m_folder;
};

TEST(ListSerialDevices, ListsDevicesWithNamesFromUsbOrDriverInNameOrder) {
  FakeSysfs sys;
  const fs::path usb = "devices/pci0000:00/0000:00:14.0/usb1";
  sys.File(usb / "1-2/idVendor", "0403\n");
  sys.File(usb / "1-2/idProduct", "6001\n");
  sys.File(usb / "1-2/product", "FT232R USB UART\n");
  sys.File(usb / "1-2/manufacturer", "FTDI\n");
  const fs::path usbSerialPort = usb / "1-2/1-2:1.0/ttyUSB0";
  sys.Link(usbSerialPort / "driver", "bus/usb-serial/drivers/ftdi_sio");
  sys.Tty("ttyUSB0", usbSerialPort);

  sys.File(usb / "1-3/idVendor", "2341\n");  // no product string
  sys.File(usb / "1-3/idProduct", "0043\n");
  sys.Link(usb / "1-3/1-3:1.0/driver", "bus/usb/drivers/cdc_acm");
  sys.Tty("ttyACM0", usb / "1-3/1-3:1.0");

  const fs::path uart = "devices/platform/serial8250";
  sys.Link(uart / "driver", "bus/platform/drivers/serial8250");
  // Newer kernels put serial-base controller and port devices between the UART and its tty.
  sys.Link(uart / "serial8250:0/driver", "bus/serial-base/drivers/ctrl");
  sys.Link(uart / "serial8250:0/serial8250:0.0/driver", "bus/serial-base/drivers/port");
  sys.Tty("ttyS0", uart / "serial8250:0/serial8250:0.0", "4");
  sys.Tty("ttyS1", uart, "0");  // a legacy slot with no UART behind it
  sys.Tty("ttyS10", uart, "4");
  sys.Tty("ttyS2", uart, "4");
  sys.Tty("tty0", "");
  sys.Tty("console", "");

  const auto devices = ListSerialDevices(sys.Root().string());
  std::vector<std::u16string> names;
  for (const auto& d : devices) names.push_back(d.portName);
  EXPECT_EQ(names, (std::vector<std::u16string>{u"ttyACM0", u"ttyS0", u"ttyS2", u"ttyS10", u"ttyUSB0"}));
  ASSERT_EQ(devices.size(), 5u);

  const SerialDeviceInfo& ftdi = devices[4];
  EXPECT_EQ(ftdi.devicePath, u"/dev/ttyUSB0");
  EXPECT_EQ(ftdi.friendlyName, u"FT232R USB UART (ttyUSB0)");
  EXPECT_EQ(ftdi.description, u"FT232R USB UART");
  EXPECT_TRUE(ftdi.usb);

  const SerialDeviceInfo& acm = devices[0];
  EXPECT_EQ(acm.friendlyName, u"cdc_acm (ttyACM0)");
  EXPECT_EQ(acm.description, u"cdc_acm");
  EXPECT_TRUE(acm.usb);

  const SerialDeviceInfo& onBoard = devices[1];
  EXPECT_EQ(onBoard.devicePath, u"/dev/ttyS0");
  EXPECT_EQ(onBoard.friendlyName, u"serial8250 (ttyS0)");
  EXPECT_FALSE(onBoard.usb);
}

TEST(ListSerialDevices, DeviceWithoutDriverOrProductIsNamedByItsPort) {
  FakeSysfs sys;
  sys.Tty("ttyX0", "devices/platform/soc/uart0");
  const auto devices = ListSerialDevices(sys.Root().string());
  ASSERT_EQ(devices.size(), 1u);
  EXPECT_EQ(devices[0].friendlyName, u"ttyX0");
  EXPECT_EQ(devices[0].description, u"");
  EXPECT_FALSE(devices[0].usb);
}

TEST(ListSerialDevices, MissingTreeGivesAnEmptyList) {
  EXPECT_TRUE(ListSerialDevices("/nonexistent/tarvolm-sysfs").empty());
}

}  // namespace
