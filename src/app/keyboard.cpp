#include "app/serial_port_dlg.h"
#include "res/resource.h"

namespace {
constexpr WPARAM kKeyA = 0x41;
constexpr WPARAM kKeyH = 0x48;
}  // namespace

// The send box behaves like a terminal line while the port is open. Keys never go through
// the dialog manager, so Enter never presses the default button and Esc never closes the
// window; Tab is still the window's and moves the focus.
BOOL CSerialPortDlg::PreTranslateMessage(KeyMessage& msg) {
  // Esc stops the files going out, whichever control has the focus.
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE && IsSendingFile()) {
    CancelFileSends();
    return TRUE;
  }
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && IsPortOpen() && GetFocusId() == IDC_TX_EDIT) {
    const bool keepText = IsKeyDown(VK_CONTROL);
    OnBnClickedSend();
    if (!keepText) SetDlgItemText(IDC_TX_EDIT, u"");
    return TRUE;
  }
  // Alt+Enter goes on as a plain Enter, which the big boxes turn into a line break.
  if (msg.message == WM_SYSKEYDOWN && msg.wParam == VK_RETURN && IsKeyDown(VK_MENU)) msg.message = WM_KEYDOWN;
  if (msg.message == WM_KEYDOWN && IsKeyDown(VK_CONTROL)) {
    if (msg.wParam == kKeyA) {
      const int focus = GetFocusId();
      if (focus == IDC_TX_EDIT || focus == IDC_RX_EDIT) {
        EditSetSel(focus, 0, -1);
        EditScrollCaret(focus);
      }
      return TRUE;
    }
    if (msg.wParam == kKeyH) {
      SwitchHexModes();
      return TRUE;
    }
  }
  return FALSE;
}

// Both Hex boxes follow the receive one; their click handlers do not run.
void CSerialPortDlg::SwitchHexModes() {
  const bool hex = IsDlgButtonChecked(IDC_RX_HEX) != BST_CHECKED;
  CheckDlgButton(IDC_RX_HEX, hex ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(IDC_TX_HEX, hex ? BST_CHECKED : BST_UNCHECKED);
  EnableItem(IDC_RX_ADDSPACE, hex);
  EnableItem(IDC_TX_IGNORESPACE, hex);
  DropReceiveCarry();
  // Also when leaving Hex: the label must not go on showing a hex checksum in text mode.
  UpdateChecksum();
}

void CSerialPortDlg::OnBnClickedCountClear() {
  m_nRxCount = 0;
  m_nTxCount = 0;
  SetDlgItemText(IDC_RX_COUNT, u"RX:0");
  SetDlgItemText(IDC_TX_COUNT, u"TX:0");
}
