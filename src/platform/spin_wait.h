#pragma once

#include <atomic>
#include <chrono>
#include <thread>

namespace platform {

// Whether `count` becomes non-zero within a short spin. A worker handing over chunk after
// chunk posts the next within microseconds; catching it here saves a round trip through the
// event loop. On a busy machine the worker may be waiting for this very core, hence the yield.
template <class Count>
bool SpinUntilNonZero(const std::atomic<Count>& count) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(30);
  do {
    if (count.load(std::memory_order_acquire) != 0) return true;
    std::this_thread::yield();
  } while (std::chrono::steady_clock::now() < until);
  return false;
}

}  // namespace platform
