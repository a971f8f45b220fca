#include "platform/comm.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace {

using platform::CommPort;

TEST(CommPortWin32, DevicePathPutsPlainNamesInTheDeviceNamespace) {
  EXPECT_EQ(CommPort::DevicePath(u"COM3"), "\\\\.\\COM3");
  EXPECT_EQ(CommPort::DevicePath(u"COM12"), "\\\\.\\COM12");
  EXPECT_EQ(CommPort::DevicePath(u"\\\\.\\COM12"), "\\\\.\\COM12");
  // Interface paths found by the port list are opened as they stand.
  const std::u16string interfacePath = u"\\\\?\\ftdibus#vid_0403+pid_6001+a1#0000#{86e0d1e0-8089-11d0-9ce4-08003e301f73}";
  EXPECT_EQ(CommPort::DevicePath(interfacePath), std::string(interfacePath.begin(), interfacePath.end()));
}

TEST(CommPortWin32, OpenRefusesWhatIsNotAFreeSerialPort) {
  EXPECT_EQ(CommPort::Open(u"COM254"), nullptr);
  EXPECT_EQ(CommPort::Open(u""), nullptr);
  EXPECT_EQ(CommPort::Open(u"NUL"), nullptr) << "a device without line settings";
  EXPECT_EQ(CommPort::Open(std::u16string(u"COM1\0x", 6)), nullptr);

  testsupport::TempDir dir;
  const std::filesystem::path file = dir.Path() / "keep.txt";
  std::ofstream(file) << "keep";
  const std::u16string typed = file.u16string();  // C:\...\keep.txt, opened as \\.\C:\...\keep.txt
  EXPECT_EQ(CommPort::Open(typed), nullptr);
  std::ifstream in(file);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "keep");
}

}  // namespace
