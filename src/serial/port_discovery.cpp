#include "serial/port_discovery.h"

namespace {
PortDiscovery& Installed() {
  static PortDiscovery discovery;
  return discovery;
}
}  // namespace

void SetPortDiscovery(PortDiscovery discovery) { Installed() = std::move(discovery); }

std::vector<platform::SerialDeviceInfo> DiscoverSerialDevices() {
  if (Installed()) return Installed()();
  return platform::ListSerialDevices();
}
