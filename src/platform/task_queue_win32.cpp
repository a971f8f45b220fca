#include "platform/task_queue_win32.h"

#include <chrono>

#include "platform/spin_wait.h"

namespace {
// How long it may stay at the queue before painting, input and timers get their turn.
constexpr auto kBudget = std::chrono::milliseconds(8);
// Posted messages come before painting and timers, so a queue that is still busy resumes
// on a timer, which comes after them.
constexpr UINT kResumeMs = USER_TIMER_MINIMUM;
}  // namespace

TaskQueue::TaskQueue(HWND window, UINT wakeMessage, UINT_PTR resumeTimerId)
    : m_window(window), m_wakeMessage(wakeMessage), m_resumeTimerId(resumeTimerId) {}

void TaskQueue::Post(std::function<void()> task) {
  std::lock_guard lock(m_mutex);
  if (m_closed) return;
  m_tasks.push_back(std::move(task));
  m_queued.fetch_add(1, std::memory_order_release);
  if (!m_attending) WakeLocked();
}

void TaskQueue::WakeLocked() {
  // Under the lock, so Close cannot slip in between and leave a wake for a window that is gone.
  m_attending = ::PostMessageW(m_window, m_wakeMessage, 0, 0) != FALSE;
}

void TaskQueue::Drain() {
  ::KillTimer(m_window, m_resumeTimerId);
  const auto started = std::chrono::steady_clock::now();
  for (;;) {
    std::function<void()> task;
    {
      std::lock_guard lock(m_mutex);
      if (m_closed || m_tasks.empty()) {
        m_attending = false;
        return;
      }
      if (std::chrono::steady_clock::now() - started > kBudget) {
        m_attending = ::SetTimer(m_window, m_resumeTimerId, kResumeMs, nullptr) != 0;
        if (!m_attending) WakeLocked();
        return;
      }
      task = std::move(m_tasks.front());
      m_tasks.pop_front();
      m_queued.fetch_sub(1, std::memory_order_release);
      // While the task runs (it may open a nested message loop) a new task must wake us.
      m_attending = false;
    }
    task();
    {
      std::lock_guard lock(m_mutex);
      if (m_closed) return;
      if (!m_tasks.empty()) continue;
      // Looking for the next task now: a task posted meanwhile needs no wake.
      m_attending = true;
    }
    if (!platform::SpinUntilNonZero(m_queued)) {
      std::lock_guard lock(m_mutex);
      if (m_tasks.empty()) {
        m_attending = false;
        return;
      }
    }
  }
}

void TaskQueue::Close() {
  std::lock_guard lock(m_mutex);
  m_closed = true;
  m_tasks.clear();
  m_queued.store(0, std::memory_order_release);
  ::KillTimer(m_window, m_resumeTimerId);
}
