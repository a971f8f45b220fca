#include "platform/task_mailbox_qt.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QPointer>
#include <QSocketNotifier>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>

#include "platform/spin_wait.h"

namespace {
// How long it may stay at the mailbox before it lets the event loop paint and run timers.
constexpr auto kBudget = std::chrono::milliseconds(8);
}  // namespace

TaskMailbox::TaskMailbox(QObject* parent) : QObject(parent) {
  m_eventFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (m_eventFd < 0) throw std::runtime_error(std::string("eventfd: ") + std::strerror(errno));
  m_notifier = new QSocketNotifier(m_eventFd, QSocketNotifier::Read, this);
  connect(m_notifier, &QSocketNotifier::activated, this, &TaskMailbox::Drain);
}

TaskMailbox::~TaskMailbox() {
  delete m_notifier;
  ::close(m_eventFd);
}

void TaskMailbox::Post(std::function<void()> task) {
  bool wake = false;
  {
    std::lock_guard lock(m_mutex);
    m_tasks.push_back(std::move(task));
    m_queued.fetch_add(1, std::memory_order_release);
    wake = !m_attending;
    m_attending = true;
  }
  if (wake) Wake();
}

void TaskMailbox::Wake() {
  const std::uint64_t one = 1;
  // The counter cannot overflow in practice; a full counter would still leave the fd readable.
  [[maybe_unused]] const auto written = ::write(m_eventFd, &one, sizeof one);
}

void TaskMailbox::Drain() {
  std::uint64_t count = 0;
  [[maybe_unused]] const auto read = ::read(m_eventFd, &count, sizeof count);
  const QPointer<TaskMailbox> alive(this);
  const auto started = std::chrono::steady_clock::now();
  for (;;) {
    std::function<void()> task;
    {
      std::lock_guard lock(m_mutex);
      if (m_tasks.empty()) {
        m_attending = false;
        return;
      }
      if (std::chrono::steady_clock::now() - started > kBudget) {
        // Come back after the event loop's other work; the queue keeps its order.
        m_attending = true;
        Wake();
        return;
      }
      task = std::move(m_tasks.front());
      m_tasks.pop_front();
      m_queued.fetch_sub(1, std::memory_order_release);
      // While the task runs (it may open a nested event loop) a new task must wake us.
      m_attending = false;
    }
    task();
    if (!alive) return;
    {
      std::lock_guard lock(m_mutex);
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
