#include "platform/memory_hint.h"

#include <sys/mman.h>

#include <cstdint>

namespace platform {

void PreferHugePages(void* address, std::size_t bytes) {
  constexpr std::uintptr_t kHugePage = std::uintptr_t(2) << 20;
  const auto begin = (reinterpret_cast<std::uintptr_t>(address) + kHugePage - 1) & ~(kHugePage - 1);
  const auto end = (reinterpret_cast<std::uintptr_t>(address) + bytes) & ~(kHugePage - 1);
  // Only a hint: without transparent huge pages the buffer simply keeps small pages.
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

}  // namespace platform
