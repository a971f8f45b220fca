#include "platform/memory_hint.h"

namespace platform {

// Large pages on Windows need the "Lock pages in memory" privilege and memory reserved for
// them up front; an ordinary heap buffer cannot be moved onto them, so there is no hint to give.
void PreferHugePages(void*, std::size_t) {}

}  // namespace platform
