#pragma once

#include <QObject>
#include <functional>
#include <memory>

#include "platform/posted_tasks.h"

class QSocketNotifier;

// Runs tasks posted by any thread on the thread that owns the mailbox, in posting order.
// The owner thread is woken through an eventfd that the event loop watches. Tasks still
// queued when the mailbox is destroyed never run.
class TaskMailbox : public QObject {
  Q_OBJECT

 public:
  explicit TaskMailbox(QObject* parent = nullptr);
  ~TaskMailbox() override;
  TaskMailbox(const TaskMailbox&) = delete;
  TaskMailbox& operator=(const TaskMailbox&) = delete;

  // Thread-safe.
  void Post(std::function<void()> task);

 private:
  void Drain();

  int m_eventFd = -1;
  QSocketNotifier* m_notifier = nullptr;
  // Shared with a running Drain, which a task may outlive the mailbox in.
  std::shared_ptr<platform::PostedTasks> m_tasks;
};
