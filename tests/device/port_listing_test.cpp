#include <gtest/gtest.h>

#include "serial/port_discovery.h"
#include "serial/port_list.h"
#include "support/pty_pair.h"

namespace {

using platform::DeviceListing;
using testsupport::PtyPair;

platform::SerialDeviceInfo Device(const PtyPair& line, std::u16string port, std::u16string friendly,
                                  DeviceListing listing) {
  platform::SerialDeviceInfo device;
  device.devicePath = line.PortName();
  device.portName = std::move(port);
  device.friendlyName = std::move(friendly);
  device.listing = listing;
  return device;
}

// Registry walks report a port once per instance key, probing by name only, interfaces with
// their properties; each kind is taken in by its own rule.
TEST(PortListing, EachKindOfDeviceIsTakenInByItsRule) {
  PtyPair first, second, third;
  SetPortDiscovery([&] {
    return std::vector<platform::SerialDeviceInfo>{
        Device(first, u"COM1", u"First (COM1)", DeviceListing::Registry),
        Device(second, u"COM2", u"", DeviceListing::PortName),
        Device(third, u"COM1", u"Second (COM1)", DeviceListing::Registry),
        Device(first, u"", u"Named (COM7)", DeviceListing::Interface),  // no description
    };
  });
  const std::vector<PortRecord> ports = ListPorts();
  SetPortDiscovery({});

  ASSERT_EQ(ports.size(), 2u);
  EXPECT_EQ(ports[0].devicePath, third.PortName()) << "the later instance, in the earlier's place";
  EXPECT_EQ(ports[0].friendlyName, u"Second (COM1)");
  EXPECT_EQ(ports[0].description, u"Second");
  EXPECT_EQ(ports[1].friendlyName, u"COM2");
  EXPECT_EQ(ports[1].description, u"COM2");
}

}  // namespace
