#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/window_messages.h"

inline constexpr UINT WM_QUIT = 0x0012;

// A message for a worker thread. A message that carries bytes owns them, so the sender can
// go on changing its own buffers.
struct ThreadMessage {
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  std::shared_ptr<const std::vector<std::uint8_t>> bytes;
};

// A worker thread's message queue with thread timers: the stand-in for the platform's thread
// message queue (post, wait, peek) that a worker loop runs on.
class ThreadMessageQueue {
 public:
  // Accepts messages from now on (a fresh start drops anything left from before).
  void Open();
  // Drops every queued message, refuses later posts and wakes the waiting thread with WM_QUIT.
  void Quit();
  // False when the queue is not open (no thread to receive it).
  bool Post(ThreadMessage message);
  // Waits for the next message (timers included); WM_QUIT after Quit.
  ThreadMessage Get();
  // Removes and returns a waiting WM_TIMER message, if one is due.
  bool PeekTimer(ThreadMessage& message);

  UINT_PTR AddTimer(std::chrono::milliseconds period);
  void KillTimer(UINT_PTR timerId);

 private:
  struct Timer {
    UINT_PTR id;
    std::chrono::milliseconds period;
    std::chrono::steady_clock::time_point due;
  };
  bool TakeDueTimer(ThreadMessage& message);

  mutable std::mutex m_mutex;
  std::condition_variable m_changed;
  std::deque<ThreadMessage> m_messages;
  std::vector<Timer> m_timers;
  UINT_PTR m_nextTimerId = 1;
  bool m_open = false;
  bool m_quit = false;
};
