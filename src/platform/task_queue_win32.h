#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>

#include "platform/win32_api.h"

// Runs tasks posted by any thread on the thread that owns a window, in posting order. The
// window is woken with one posted message only when it is not already at the queue, so a
// flood never fills the thread's message queue; after a task the owner looks for the next
// one for a few microseconds, and after a few milliseconds it lets painting, input and
// timers in before it goes on. Tasks still queued when the queue is closed never run.
class TaskQueue {
 public:
  TaskQueue(HWND window, UINT wakeMessage, UINT_PTR resumeTimerId);
  TaskQueue(const TaskQueue&) = delete;
  TaskQueue& operator=(const TaskQueue&) = delete;

  // Thread-safe.
  void Post(std::function<void()> task);
  // On the owner thread, for the wake message and the resume timer. A task may close the
  // queue (the window ends); the caller keeps the queue itself alive across the call.
  void Drain();
  // On the owner thread, before the window goes: drops what is queued, refuses what comes.
  void Close();

 private:
  void WakeLocked();

  const HWND m_window;
  const UINT m_wakeMessage;
  const UINT_PTR m_resumeTimerId;
  std::mutex m_mutex;
  std::deque<std::function<void()>> m_tasks;
  std::atomic<std::size_t> m_queued{0};
  bool m_attending = false;  // a wake is on its way or the owner is at the queue
  bool m_closed = false;
};
