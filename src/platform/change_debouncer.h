#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace platform {

// Turns a burst of change events into one report, made on a thread of its own. Plugging in
// a USB adapter makes a device node, then links, then changes their owner, all within a few
// milliseconds; one rescan after the burst sees the end state, one per event would rescan
// half-made devices. The report comes once the events have been quiet for `quiet`, or
// `longest` after the burst's first event when the burst does not end. Nothing runs while
// nothing happens: the thread sleeps until an event or a deadline.
class ChangeDebouncer {
 public:
  struct Timing {
    std::chrono::milliseconds quiet{200};
    std::chrono::milliseconds longest{600};
  };

  // `report` runs on the debouncer's thread; it must not destroy the debouncer.
  ChangeDebouncer(std::function<void()> report, Timing timing);
  // Drops a burst not yet reported and waits for a report under way.
  ~ChangeDebouncer();
  ChangeDebouncer(const ChangeDebouncer&) = delete;
  ChangeDebouncer& operator=(const ChangeDebouncer&) = delete;

  // Thread-safe: something may have changed now.
  void Notify();

 private:
  using Clock = std::chrono::steady_clock;
  void Run();

  const std::function<void()> m_report;
  const Timing m_timing;
  std::mutex m_mutex;
  std::condition_variable m_wake;
  bool m_pending = false;
  bool m_stop = false;
  Clock::time_point m_firstEvent;
  Clock::time_point m_lastEvent;
  std::thread m_thread;  // last: starts when everything it uses is ready
};

}  // namespace platform
