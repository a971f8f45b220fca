#pragma once

#include <atomic>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>

namespace platform {

// Tasks posted by any thread, run on the owner thread in posting order: the common part of
// every backend's hand-over to the UI thread. A flood of worker messages is the receive
// path's hot spot, so the owner is woken only when it is not already at the queue, after a
// task it looks for the next one for a few microseconds, and after a few milliseconds it
// lets painting, input and timers in before it goes on. Tasks still queued when the queue
// is closed never run.
class PostedTasks {
 public:
  // Both are called under the queue's lock and answer whether the request went out.
  // `wake`: have the owner thread call Drain soon. `resume`: have it call Drain after the
  // other work it has waiting (painting, input, timers).
  PostedTasks(std::function<bool()> wake, std::function<bool()> resume);
  PostedTasks(const PostedTasks&) = delete;
  PostedTasks& operator=(const PostedTasks&) = delete;

  // Thread-safe; a task posted after Close is dropped.
  void Post(std::function<void()> task);
  // On the owner thread. A task may close the queue (its window ends); the caller keeps the
  // queue itself alive across the call.
  void Drain();
  // On the owner thread: drops what is queued and refuses what comes.
  void Close();

 private:
  const std::function<bool()> m_wake;
  const std::function<bool()> m_resume;
  std::mutex m_mutex;
  std::deque<std::function<void()>> m_tasks;
  std::atomic<std::size_t> m_queued{0};
  bool m_attending = false;  // a wake is on its way or the owner is at the queue
  bool m_closed = false;
};

}  // namespace platform
