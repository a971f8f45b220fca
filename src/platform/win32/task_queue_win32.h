#pragma once

#include <functional>
#include <memory>

#include "platform/posted_tasks.h"
#include "platform/win32/win32_api.h"

// Runs tasks posted by any thread on the thread that owns a window, in posting order. The
// window is woken with one posted message only when it is not already at the queue, so a
// flood never fills the thread's message queue; posted messages come before painting and
// timers, so a queue that is still busy after its time slice resumes on a timer.
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
  const HWND m_window;
  const UINT_PTR m_resumeTimerId;
  platform::PostedTasks m_tasks;
};
