#include <algorithm>

#include "app/serial_port_dlg.h"
#include "platform/text.h"
#include "res/resource.h"
#include "send/hex_string.h"
#include "send/send_timers.h"

void CSerialPortDlg::UpdateChecksum() {
  std::uint8_t xorValue = 0;
  std::uint8_t sum = 0;
  if (IsDlgButtonChecked(IDC_TX_HEX) == BST_CHECKED) {
    std::u16string text = GetDlgItemText(IDC_TX_EDIT);
    int start = 0;
    int end = 0;
    EditGetSel(IDC_TX_EDIT, start, end);
    const int length = static_cast<int>(text.size());
    const int from = std::clamp(std::min(start, end), 0, length);
    const int to = std::clamp(std::max(start, end), 0, length);
    if (from != to) text = text.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
    if (IsDlgButtonChecked(IDC_TX_IGNORESPACE) == BST_CHECKED) std::erase(text, u' ');
    // Unlike Send, line breaks stay and take part in the pairing.
    if (text.size() == 1) text.insert(text.begin(), u'0');
    int count = static_cast<int>(text.size() / 2);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count));
    HexStrToBytes(text, bytes.data(), count);
    for (int i = 0; i < count; ++i) {
      xorValue ^= bytes[static_cast<std::size_t>(i)];
      sum = static_cast<std::uint8_t>(sum + bytes[static_cast<std::size_t>(i)]);
    }
  }
  SetDlgItemText(IDC_CHECKSUM, u"CRC xor:" + text::HexByteLower(xorValue) + u"  add:" + text::HexByteLower(sum));
}

// A selection change raises no notification of its own, so the label is polled while the
// send box has the focus.
void CSerialPortDlg::OnEnSetfocusTxEdit() { SetTimer(TIMER_CHECKSUM, kChecksumPeriodMs); }

void CSerialPortDlg::OnEnKillfocusTxEdit() { KillTimer(TIMER_CHECKSUM); }
