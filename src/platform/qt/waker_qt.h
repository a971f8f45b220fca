#pragma once

#include <QObject>
#include <functional>

#include "platform/waker.h"

class QSocketNotifier;

// Wakes the Qt event loop through an eventfd it watches. The loop handles the wake after
// what it already has waiting, so Wake and Resume are the same here.
class EventFdWaker : public QObject, public platform::Waker {
  Q_OBJECT

 public:
  explicit EventFdWaker(std::function<void()> handler);
  ~EventFdWaker() override;

  bool Wake() override;
  bool Resume() override { return Wake(); }

 private:
  void Activated();

  const std::function<void()> m_handler;
  int m_eventFd = -1;
  QSocketNotifier* m_notifier = nullptr;
};
