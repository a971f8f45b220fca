#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/ports.h"

// Where the port list comes from: the system's serial devices, or, in tests, devices the
// test made. A discovery that fails throws PortEnumerationError with the text to show.
using PortDiscovery = std::function<std::vector<platform::SerialDeviceInfo>()>;

using PortEnumerationError = platform::PortEnumerationError;

void SetPortDiscovery(PortDiscovery discovery);  // an empty function restores the system's
std::vector<platform::SerialDeviceInfo> DiscoverSerialDevices();
