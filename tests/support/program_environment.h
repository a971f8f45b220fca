#pragma once

#include <filesystem>
#include <vector>

#include "app/serial_port_app.h"
#include "platform/codepage.h"
#include "serial/port_discovery.h"

namespace testsupport {

// The program as it starts in `folder` (standing for the executable's), in a code page,
// finding no ports; all undone when this goes.
class ProgramEnvironment {
 public:
  explicit ProgramEnvironment(const std::filesystem::path& folder, unsigned codePage = 1252) {
    g_strAppDir = folder.u16string();
    platform::SetACPForTesting(codePage);
    SetPortDiscovery([] { return std::vector<platform::SerialDeviceInfo>{}; });
  }
  ~ProgramEnvironment() {
    SetPortDiscovery({});
    platform::SetACPForTesting(0);
  }
  ProgramEnvironment(const ProgramEnvironment&) = delete;
  ProgramEnvironment& operator=(const ProgramEnvironment&) = delete;
};

}  // namespace testsupport
