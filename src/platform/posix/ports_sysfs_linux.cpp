#include "platform/ports.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/text.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

// A sysfs attribute without its trailing line break; empty when absent or unreadable.
std::string ReadAttribute(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string value((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  while (!value.empty() && std::isspace(static_cast<unsigned char>(value.back()))) value.pop_back();
  return value;
}

bool Exists(const fs::path& path) {
  std::error_code error;
  return fs::exists(fs::symlink_status(path, error));
}

// The USB device above a tty device (the first ancestor carrying USB ids); empty when the
// device does not sit on the USB bus.
fs::path UsbDeviceAbove(const fs::path& device, const fs::path& root) {
  for (fs::path dir = device; dir != root && dir.has_relative_path(); dir = dir.parent_path()) {
    if (Exists(dir / "idVendor") && Exists(dir / "idProduct")) return dir;
  }
  return {};
}

// The driver bound to the device. Newer kernels put serial-base port and controller devices
// between a UART and its tty; their drivers ("port", "ctrl") say nothing, so the driver is
// taken from the first device above them.
std::string DriverName(fs::path device, const fs::path& root) {
  for (; device != root && device.has_relative_path(); device = device.parent_path()) {
    std::error_code error;
    const fs::path driver = fs::read_symlink(device / "driver", error);  // .../bus/<bus>/drivers/<name>
    if (error) return {};
    if (driver.parent_path().parent_path().filename() != "serial-base") return driver.filename().string();
  }
  return {};
}

// Name order with digit runs compared as numbers, so ttyS2 comes before ttyS10.
bool NaturalLess(const std::string& a, const std::string& b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (std::isdigit(static_cast<unsigned char>(a[i])) && std::isdigit(static_cast<unsigned char>(b[j]))) {
      const std::size_t iEnd = a.find_first_not_of("0123456789", i);
      const std::size_t jEnd = b.find_first_not_of("0123456789", j);
      std::string_view x = std::string_view(a).substr(i, iEnd - i), y = std::string_view(b).substr(j, jEnd - j);
      x.remove_prefix(std::min(x.find_first_not_of('0'), x.size()));
      y.remove_prefix(std::min(y.find_first_not_of('0'), y.size()));
      if (x.size() != y.size()) return x.size() < y.size();
      if (x != y) return x < y;
      i = iEnd == std::string::npos ? a.size() : iEnd;
      j = jEnd == std::string::npos ? b.size() : jEnd;
    } else if (a[i] != b[j]) {
      return a[i] < b[j];
    } else {
      ++i, ++j;
    }
  }
  return a.size() - i < b.size() - j || (a.size() - i == b.size() - j && a < b);
}

}  // namespace

std::vector<SerialDeviceInfo> ListSerialDevices(const std::string& sysfsRoot) {
  std::error_code error;
  const fs::path root = fs::weakly_canonical(sysfsRoot, error);
  if (error) return {};
  std::vector<std::string> names;
  for (fs::directory_iterator it(root / "class" / "tty", error), end; !error && it != end; it.increment(error)) {
    names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end(), NaturalLess);

  std::vector<SerialDeviceInfo> devices;
  for (const std::string& name : names) {
    const fs::path entry = root / "class" / "tty" / name;
    if (!Exists(entry / "device")) continue;
    // Serial core gives every UART slot a type; 0 means no UART answered there.
    if (ReadAttribute(entry / "type") == "0") continue;

    std::error_code noDevice;
    const fs::path device = fs::canonical(entry / "device", noDevice);
    const std::string driver = noDevice ? std::string() : DriverName(device, root);
    const fs::path usbDevice = noDevice ? fs::path() : UsbDeviceAbove(device, root);
    const std::string product = usbDevice.empty() ? std::string() : ReadAttribute(usbDevice / "product");

    SerialDeviceInfo info;
    // sysfs writes a '/' of a device name as '!'.
    std::string deviceName = name;
    std::replace(deviceName.begin(), deviceName.end(), '!', '/');
    info.portName = text::FromUtf8(deviceName);
    info.devicePath = u"/dev/" + info.portName;
    info.usb = !usbDevice.empty();
    info.description = text::FromUtf8(!product.empty() ? product : driver);
    info.friendlyName = info.description.empty() ? info.portName : info.description + u" (" + info.portName + u")";
    devices.push_back(std::move(info));
  }
  return devices;
}

}  // namespace platform
