#include "platform/thread_message_queue.h"

#include <algorithm>

void ThreadMessageQueue::Open() {
  std::lock_guard lock(m_mutex);
  m_messages.clear();
  m_open = true;
  m_quit = false;
}

void ThreadMessageQueue::Quit() {
  {
    std::lock_guard lock(m_mutex);
    m_messages.clear();
    m_open = false;
    m_quit = true;
  }
  m_changed.notify_all();
}

bool ThreadMessageQueue::Post(ThreadMessage message) {
  {
    std::lock_guard lock(m_mutex);
    if (!m_open) return false;
    m_messages.push_back(std::move(message));
  }
  m_changed.notify_one();
  return true;
}

bool ThreadMessageQueue::TakeDueTimer(ThreadMessage& message) {
  const auto now = std::chrono::steady_clock::now();
  for (auto& timer : m_timers) {
    if (timer.due <= now) {
      timer.due = now + timer.period;
      message = ThreadMessage{WM_TIMER, timer.id, 0, nullptr};
      return true;
    }
  }
  return false;
}

ThreadMessage ThreadMessageQueue::Get() {
  std::unique_lock lock(m_mutex);
  for (;;) {
    if (m_quit) return ThreadMessage{WM_QUIT, 0, 0, nullptr};
    if (!m_messages.empty()) {
      ThreadMessage message = std::move(m_messages.front());
      m_messages.pop_front();
      return message;
    }
    ThreadMessage timer;
    if (TakeDueTimer(timer)) return timer;
    if (m_timers.empty()) {
      m_changed.wait(lock);
    } else {
      const auto next = std::min_element(m_timers.begin(), m_timers.end(),
                                         [](const Timer& a, const Timer& b) { return a.due < b.due; });
      m_changed.wait_until(lock, next->due);
    }
  }
}

bool ThreadMessageQueue::PeekTimer(ThreadMessage& message) {
  std::lock_guard lock(m_mutex);
  return TakeDueTimer(message);
}

UINT_PTR ThreadMessageQueue::AddTimer(std::chrono::milliseconds period) {
  std::lock_guard lock(m_mutex);
  const UINT_PTR id = m_nextTimerId++;
  m_timers.push_back({id, period, std::chrono::steady_clock::now() + period});
  return id;
}

void ThreadMessageQueue::KillTimer(UINT_PTR timerId) {
  std::lock_guard lock(m_mutex);
  std::erase_if(m_timers, [timerId](const Timer& t) { return t.id == timerId; });
}

