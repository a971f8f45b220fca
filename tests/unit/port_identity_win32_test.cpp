#include "platform/port_identity.h"

#include <gtest/gtest.h>

#include "platform/ports.h"

namespace {

using platform::IdentityOfPort;
using platform::ResolvePortIdentity;

TEST(PortIdentity, AComPortIsKnownByItsComName) {
  EXPECT_EQ(IdentityOfPort(u"COM3"), u"COM3");
  EXPECT_EQ(IdentityOfPort(u"\\\\.\\COM12"), u"COM12");
  EXPECT_EQ(IdentityOfPort(u"\\\\?\\USB#VID_0403"), u"\\\\?\\USB#VID_0403") << "not a COM name: as typed";
}

// The system's ports are in its device namespace, a made-up one and anything else are not.
TEST(PortIdentity, TheSystemsPortsArePresentOthersAreNot) {
  int known = 0;
  for (const auto& device : platform::ListSerialDevices()) {
    if (device.portName.empty()) continue;
    EXPECT_EQ(ResolvePortIdentity(device.portName), u"\\\\.\\" + device.portName);
    ++known;
  }
  for (const char16_t* absent : {u"COM250", u"", u"C:\\Windows", u"\\\\.\\COM1", u"COM1/x"}) {
    EXPECT_EQ(ResolvePortIdentity(absent), std::nullopt) << reinterpret_cast<const char*>(absent);
  }
  if (known == 0) GTEST_SKIP() << "this system lists no COM port by name";
}

}  // namespace
