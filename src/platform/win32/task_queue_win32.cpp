#include "platform/win32/task_queue_win32.h"

TaskQueue::TaskQueue(HWND window, UINT wakeMessage, UINT_PTR resumeTimerId)
    : m_window(window),
      m_resumeTimerId(resumeTimerId),
      m_tasks([window, wakeMessage] { return ::PostMessageW(window, wakeMessage, 0, 0) != FALSE; },
              [window, resumeTimerId] { return ::SetTimer(window, resumeTimerId, USER_TIMER_MINIMUM, nullptr) != 0; }) {}

void TaskQueue::Post(std::function<void()> task) { m_tasks.Post(std::move(task)); }

void TaskQueue::Drain() {
  ::KillTimer(m_window, m_resumeTimerId);
  m_tasks.Drain();
}

void TaskQueue::Close() {
  m_tasks.Close();
  ::KillTimer(m_window, m_resumeTimerId);
}
