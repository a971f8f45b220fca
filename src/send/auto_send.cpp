#include <algorithm>

#include "app/serial_port_dlg.h"
#include "res/resource.h"
#include "send/send_timers.h"

namespace {
// The platform's timers run no faster than every 10 ms and wait at most 0x7FFFFFFF ms.
constexpr UINT kShortestPeriodMs = 10;
constexpr UINT kLongestPeriodMs = 0x7FFFFFFF;
}  // namespace

UINT CSerialPortDlg::AutoSendInterval() const {
  // Read afresh each time, as a signed number handed over unsigned: unreadable text and 0 send
  // as often as the timer allows.
  const auto typed = static_cast<UINT>(GetDlgItemInt(IDC_TX_INTERVAL));
  return std::clamp(typed, kShortestPeriodMs, kLongestPeriodMs);
}

void CSerialPortDlg::OnTimer(UINT_PTR timerId) {
  if (timerId == TIMER_AUTOSEND) {
    // The next send comes one interval after this one ends.
    KillTimer(TIMER_AUTOSEND);
    OnBnClickedSend();
    if (IsDlgButtonChecked(IDC_TX_AUTOSEND) == BST_CHECKED) SetTimer(TIMER_AUTOSEND, AutoSendInterval());
  } else if (timerId == TIMER_CHECKSUM) {
    UpdateChecksum();
  }
}

void CSerialPortDlg::OnBnClickedAutoSend() {
  const UINT interval = AutoSendInterval();
  if (IsDlgButtonChecked(IDC_TX_AUTOSEND) == BST_CHECKED) {
    SetTimer(TIMER_AUTOSEND, interval);
  } else {
    KillTimer(TIMER_AUTOSEND);
  }
  WriteIntervalSetting();
}

void CSerialPortDlg::OnEnKillfocusInterval() {
  if (IsDlgButtonChecked(IDC_TX_AUTOSEND) != BST_CHECKED) return;
  const UINT interval = AutoSendInterval();
  KillTimer(TIMER_AUTOSEND);
  SetTimer(TIMER_AUTOSEND, interval);
  WriteIntervalSetting();
}
