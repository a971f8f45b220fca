#include "platform/posted_tasks.h"

#include <chrono>
#include <thread>

namespace platform {

namespace {
// How long the owner may stay at the queue before its other work gets a turn.
constexpr auto kBudget = std::chrono::milliseconds(8);

// Whether a task arrives within a short spin. A worker handing over chunk after chunk posts
// the next within microseconds; catching it here saves a round trip through the event loop.
// On a busy machine the worker may be waiting for this very core, hence the yield.
bool SpinUntilNonZero(const std::atomic<std::size_t>& count) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(30);
  do {
    if (count.load(std::memory_order_acquire) != 0) return true;
    std::this_thread::yield();
  } while (std::chrono::steady_clock::now() < until);
  return false;
}

}  // namespace

PostedTasks::PostedTasks(std::function<bool()> wake, std::function<bool()> resume)
    : m_wake(std::move(wake)), m_resume(std::move(resume)) {}

void PostedTasks::Post(std::function<void()> task) {
  // Woken under the lock, so Close cannot slip in between and leave a wake for an owner
  // that is gone.
  std::lock_guard lock(m_mutex);
  if (m_closed) return;
  m_tasks.push_back(std::move(task));
  m_queued.fetch_add(1, std::memory_order_release);
  if (!m_attending) m_attending = m_wake();
}

void PostedTasks::Drain() {
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
        // Come back after the owner's other work; the queue keeps its order.
        m_attending = m_resume() || m_wake();
        return;
      }
      task = std::move(m_tasks.front());
      m_tasks.pop_front();
      m_queued.fetch_sub(1, std::memory_order_release);
      // While the task runs (it may open a nested event loop) a new task must wake us.
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
    if (!SpinUntilNonZero(m_queued)) {
      std::lock_guard lock(m_mutex);
      if (m_tasks.empty()) {
        m_attending = false;
        return;
      }
    }
  }
}

void PostedTasks::Close() {
  std::lock_guard lock(m_mutex);
  m_closed = true;
  m_tasks.clear();
  m_queued.store(0, std::memory_order_release);
}

}  // namespace platform
