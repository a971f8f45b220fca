#include "platform/win32/waker_win32.h"

std::unique_ptr<platform::Waker> WindowWakers::Create(std::function<void()> handler) {
  // Ids are not reused within a window's life: a late wake must not reach a newer waker.
  const WPARAM id = ++m_lastId;
  m_handlers[id] = std::move(handler);
  return std::make_unique<MessageWaker>(shared_from_this(), id);
}

void WindowWakers::Dispatch(WPARAM wakeId) {
  const auto found = m_handlers.find(wakeId);
  if (found == m_handlers.end()) return;
  // A copy: the handler may destroy its own waker.
  const std::function<void()> handler = found->second;
  handler();
}

void WindowWakers::DispatchTimer(UINT_PTR timerId) {
  if (const HWND window = m_window.load()) ::KillTimer(window, timerId);
  Dispatch(static_cast<WPARAM>(timerId - kFirstResumeTimer));
}

MessageWaker::~MessageWaker() {
  m_wakers->m_handlers.erase(m_id);
  if (const HWND window = m_wakers->m_window.load()) ::KillTimer(window, WindowWakers::kFirstResumeTimer + m_id);
}

bool MessageWaker::Wake() {
  const HWND window = m_wakers->m_window.load();
  return window && ::PostMessageW(window, WindowWakers::kWakeMessage, m_id, 0) != FALSE;
}

bool MessageWaker::Resume() {
  const HWND window = m_wakers->m_window.load();
  return window && ::SetTimer(window, WindowWakers::kFirstResumeTimer + m_id, USER_TIMER_MINIMUM, nullptr) != 0;
}
