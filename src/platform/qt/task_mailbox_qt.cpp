#include "platform/qt/task_mailbox_qt.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

TaskMailbox::TaskMailbox(QObject* parent) : QObject(parent) {
  m_eventFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (m_eventFd < 0) throw std::runtime_error(std::string("eventfd: ") + std::strerror(errno));
  const int eventFd = m_eventFd;
  // The event loop handles the wake after what it already has waiting, so both requests
  // are the same here. The counter cannot overflow in practice.
  const auto wake = [eventFd] {
    const std::uint64_t one = 1;
    return ::write(eventFd, &one, sizeof one) == static_cast<ssize_t>(sizeof one);
  };
  m_tasks = std::make_shared<platform::PostedTasks>(wake, wake);
  m_notifier = new QSocketNotifier(m_eventFd, QSocketNotifier::Read, this);
  connect(m_notifier, &QSocketNotifier::activated, this, &TaskMailbox::Drain);
}

TaskMailbox::~TaskMailbox() {
  // Closed first: no wake may reach the eventfd once it is gone.
  m_tasks->Close();
  delete m_notifier;
  ::close(m_eventFd);
}

void TaskMailbox::Post(std::function<void()> task) { m_tasks->Post(std::move(task)); }

void TaskMailbox::Drain() {
  std::uint64_t count = 0;
  [[maybe_unused]] const auto read = ::read(m_eventFd, &count, sizeof count);
  const auto tasks = m_tasks;
  tasks->Drain();
}
