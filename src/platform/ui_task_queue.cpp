#include "platform/ui_task_queue.h"

namespace platform {

UiTaskQueue::UiTaskQueue(const MakeWaker& makeWaker) {
  // No wake is asked for after Close, so the functions never outlive the waker they call.
  m_tasks = std::make_shared<PostedTasks>([this] { return m_waker && m_waker->Wake(); },
                                          [this] { return m_waker && m_waker->Resume(); });
  std::weak_ptr<PostedTasks> tasks = m_tasks;
  m_waker = makeWaker([tasks] {
    if (const auto alive = tasks.lock()) alive->Drain();
  });
}

UiTaskQueue::~UiTaskQueue() { Close(); }

void UiTaskQueue::Post(std::function<void()> task) { m_tasks->Post(std::move(task)); }

void UiTaskQueue::Close() { m_tasks->Close(); }

}  // namespace platform
