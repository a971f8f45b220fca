#pragma once

#include <atomic>

#include "platform/window_messages.h"

class CDialogEx;

// A worker thread's channel to the UI thread for one message at a time: the worker posts a
// message and waits until the dialog has handled it. Closing the channel (UI thread) drops a
// message not yet handled and releases the waiting worker, so closing can never deadlock
// against a worker waiting for the UI thread.
class UiCallSlot {
 public:
  explicit UiCallSlot(CDialogEx& target) : m_target(target) {}
  UiCallSlot(const UiCallSlot&) = delete;
  UiCallSlot& operator=(const UiCallSlot&) = delete;

  // Worker: hand over a message; the previous one must have been handled. False when closed.
  bool Post(UINT message, WPARAM wParam, LPARAM lParam);
  // Worker: wait until the posted message has been handled. False when the slot was closed first.
  bool WaitHandled();
  bool Call(UINT message, WPARAM wParam, LPARAM lParam) { return Post(message, wParam, lParam) && WaitHandled(); }

  // UI thread.
  void Close();
  void Open();

 private:
  enum State : int { Idle, Pending, Closed };
  void RunPending();

  CDialogEx& m_target;
  std::atomic<int> m_state{Closed};
  UINT m_message = 0;
  WPARAM m_wParam = 0;
  LPARAM m_lParam = 0;
};
