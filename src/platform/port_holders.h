#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// Another program that holds a serial port, as far as the system tells without the port
// being opened.
struct PortHolder {
  std::uint32_t processId = 0;
  std::u16string program;  // its command name; empty when it cannot be read
  bool operator==(const PortHolder&) const = default;
};

struct PortHolderSources {
  std::vector<std::string> lockFolders{"/run/lock", "/var/lock"};  // for tests
};

// For each device path, in order: another process that has the device open or a UUCP lock
// file on it (LCK..ttyUSB0 naming a living process); nothing when none is seen. This process
// is never a holder. Linux: the descriptors in /proc/<pid>/fd of the processes this user may
// look into, and the lock folders. Windows tells only by a failed open: nothing, always.
// Any thread. Looking through every process takes a while where there are many (about 0.2 s
// for 400 processes with 24,000 descriptors on a slow machine): call it for the port at hand
// or off the UI thread, not on every refresh of the list.
std::vector<std::optional<PortHolder>> FindPortHolders(const std::vector<std::u16string>& devicePaths,
                                                       const PortHolderSources& sources = {});

}  // namespace platform
