#pragma once

#include <QObject>
#include <atomic>
#include <deque>
#include <functional>
#include <mutex>

class QSocketNotifier;

// Runs tasks posted by any thread on the thread that owns the mailbox, in posting order.
// A flood of worker messages is the receive path's hot spot, so the owner thread is woken
// (an eventfd that the event loop watches) only when it is not already at the mailbox, and
// after a task it looks for the next one for a few microseconds before going back to the
// event loop. Tasks still queued when the mailbox is destroyed never run.
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
  void Wake();

  int m_eventFd = -1;
  QSocketNotifier* m_notifier = nullptr;
  std::mutex m_mutex;
  std::deque<std::function<void()>> m_tasks;
  // The owner thread is at the mailbox (spinning after a task) or a wake is on its way, so a
  // new task needs no wake of its own.
  bool m_attending = false;
  std::atomic<std::size_t> m_queued{0};
};
