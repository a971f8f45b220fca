#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>

namespace testsupport {

// Counts the reports of a watcher or debouncer and the threads they came on.
class ChangeReports {
 public:
  // The callback to hand over; the object must outlive whatever calls it.
  auto Callback() {
    return [this] {
      const std::lock_guard lock(m_mutex);
      ++m_count;
      m_threads.insert(std::this_thread::get_id());
      m_changed.notify_all();
    };
  }
  int Count() {
    const std::lock_guard lock(m_mutex);
    return m_count;
  }
  // True when the count reached `count` within `timeout`.
  bool WaitFor(int count, std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_count >= count; });
  }
  std::set<std::thread::id> Threads() {
    const std::lock_guard lock(m_mutex);
    return m_threads;
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_changed;
  int m_count = 0;
  std::set<std::thread::id> m_threads;
};

}  // namespace testsupport
