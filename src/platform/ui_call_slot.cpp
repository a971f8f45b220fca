#include "platform/ui_call_slot.h"

#include "platform/dialog.h"

bool UiCallSlot::Post(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_state.load(std::memory_order_acquire) != Idle) return false;
  m_message = message;
  m_wParam = wParam;
  m_lParam = lParam;
  int expected = Idle;
  if (!m_state.compare_exchange_strong(expected, Pending, std::memory_order_acq_rel)) return false;
  if (auto* window = m_target.Window()) window->PostTask([this] { RunPending(); });
  return true;
}

bool UiCallSlot::WaitHandled() {
  // A short spin first: under a flood the UI thread answers within microseconds, and
  // sleeping on every chunk would cost more than the handling itself.
  for (int spin = 0; spin < 2000; ++spin) {
    const int state = m_state.load(std::memory_order_acquire);
    if (state != Pending) return state == Idle;
  }
  for (;;) {
    const int state = m_state.load(std::memory_order_acquire);
    if (state != Pending) return state == Idle;
    m_state.wait(Pending, std::memory_order_acquire);
  }
}

void UiCallSlot::RunPending() {
  if (m_state.load(std::memory_order_acquire) != Pending) return;
  m_target.SendMessage(m_message, m_wParam, m_lParam);
  int expected = Pending;
  if (m_state.compare_exchange_strong(expected, Idle, std::memory_order_acq_rel)) m_state.notify_all();
}

void UiCallSlot::Close() {
  m_state.store(Closed, std::memory_order_release);
  m_state.notify_all();
}

void UiCallSlot::Open() { m_state.store(Idle, std::memory_order_release); }
