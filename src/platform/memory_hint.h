#pragma once

#include <cstddef>

namespace platform {

// Asks the system to back a large buffer with huge pages where it can: a buffer that grows
// by megabytes a second then costs a few page faults instead of thousands.
void PreferHugePages(void* address, std::size_t bytes);

}  // namespace platform
