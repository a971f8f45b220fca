#include "platform/change_debouncer.h"

#include <algorithm>

namespace platform {

ChangeDebouncer::ChangeDebouncer(std::function<void()> report, Timing timing)
    : m_report(std::move(report)), m_timing(timing), m_thread([this] { Run(); }) {}

ChangeDebouncer::~ChangeDebouncer() {
  {
    const std::lock_guard lock(m_mutex);
    m_stop = true;
  }
  m_wake.notify_one();
  m_thread.join();
}

void ChangeDebouncer::Notify() {
  bool first = false;
  {
    const std::lock_guard lock(m_mutex);
    m_lastEvent = Clock::now();
    if (!m_pending) {
      m_pending = true;
      m_firstEvent = m_lastEvent;
      first = true;
    }
  }
  // Later events of a burst only move the deadline on; the sleeper finds that when it wakes.
  if (first) m_wake.notify_one();
}

void ChangeDebouncer::Run() {
  std::unique_lock lock(m_mutex);
  while (!m_stop) {
    if (!m_pending) {
      m_wake.wait(lock);
      continue;
    }
    const auto due = std::min(m_lastEvent + m_timing.quiet, m_firstEvent + m_timing.longest);
    if (Clock::now() < due) {
      m_wake.wait_until(lock, due);
      continue;
    }
    m_pending = false;
    lock.unlock();
    m_report();
    lock.lock();
  }
}

}  // namespace platform
