#include "platform/qt/waker_qt.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

EventFdWaker::EventFdWaker(std::function<void()> handler) : m_handler(std::move(handler)) {
  m_eventFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (m_eventFd < 0) throw std::runtime_error(std::string("eventfd: ") + std::strerror(errno));
  m_notifier = new QSocketNotifier(m_eventFd, QSocketNotifier::Read, this);
  connect(m_notifier, &QSocketNotifier::activated, this, &EventFdWaker::Activated);
}

EventFdWaker::~EventFdWaker() {
  delete m_notifier;
  ::close(m_eventFd);
}

// The counter cannot overflow in practice.
bool EventFdWaker::Wake() {
  const std::uint64_t one = 1;
  return ::write(m_eventFd, &one, sizeof one) == static_cast<ssize_t>(sizeof one);
}

void EventFdWaker::Activated() {
  std::uint64_t count = 0;
  [[maybe_unused]] const auto read = ::read(m_eventFd, &count, sizeof count);
  m_handler();
}
