#pragma once

#include <functional>
#include <memory>

#include "platform/posted_tasks.h"
#include "platform/waker.h"

namespace platform {

// Tasks posted by any thread, run on the UI thread in posting order: the window's PostTask
// on every backend, the backend giving only its waker.
class UiTaskQueue {
 public:
  using MakeWaker = std::function<std::unique_ptr<Waker>(std::function<void()> handler)>;
  explicit UiTaskQueue(const MakeWaker& makeWaker);
  ~UiTaskQueue();
  UiTaskQueue(const UiTaskQueue&) = delete;
  UiTaskQueue& operator=(const UiTaskQueue&) = delete;

  // Thread-safe; a task posted after Close is dropped.
  void Post(std::function<void()> task);
  // On the UI thread, before the window goes: drops what is queued and refuses what comes.
  void Close();

 private:
  // Shared with a running drain, which a task may outlive the queue in.
  std::shared_ptr<PostedTasks> m_tasks;
  std::unique_ptr<Waker> m_waker;
};

}  // namespace platform
