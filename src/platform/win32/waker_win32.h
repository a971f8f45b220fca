#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>

#include "platform/waker.h"
#include "platform/win32/win32_api.h"

// The wakers of one window. A wake is a message posted to the window with the waker's id;
// a resume is a timer of the window, because posted messages come before painting and
// timers. The window dispatches both by id, so a wake that arrives after its waker is gone
// finds nothing and does nothing.
class WindowWakers : public std::enable_shared_from_this<WindowWakers> {
 public:
  static constexpr UINT kWakeMessage = WM_APP + 0x71;
  // Far from the small timer ids the program uses; one per waker id.
  static constexpr UINT_PTR kFirstResumeTimer = 0x7A000000;
  static constexpr UINT_PTR kLastResumeTimer = 0x7A00FFFF;

  explicit WindowWakers(HWND window) : m_window(window) {}
  std::unique_ptr<platform::Waker> Create(std::function<void()> handler);
  // On the UI thread, for kWakeMessage (wParam) and the resume timers (id).
  void Dispatch(WPARAM wakeId);
  void DispatchTimer(UINT_PTR timerId);
  // The window is going: nothing reaches it any more.
  void Detach() { m_window.store(nullptr); }

 private:
  friend class MessageWaker;
  std::atomic<HWND> m_window;
  std::map<WPARAM, std::function<void()>> m_handlers;  // UI thread only
  WPARAM m_lastId = 0;
};

class MessageWaker : public platform::Waker {
 public:
  MessageWaker(std::shared_ptr<WindowWakers> wakers, WPARAM id) : m_wakers(std::move(wakers)), m_id(id) {}
  ~MessageWaker() override;
  bool Wake() override;
  bool Resume() override;

 private:
  const std::shared_ptr<WindowWakers> m_wakers;
  const WPARAM m_id;
};
