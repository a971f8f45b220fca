#include "app/serial_port_dlg.h"
#include "platform/codepage.h"
#include "platform/text.h"
#include "res/resource.h"
#include "send/hex_string.h"

void CSerialPortDlg::OnBnClickedSend() {
  m_strSendBuf.reset();
  if (!IsPortOpen()) return;
  std::u16string text = GetDlgItemText(IDC_TX_EDIT);
  std::vector<std::uint8_t> bytes;
  if (IsDlgButtonChecked(IDC_TX_HEX) == BST_CHECKED) {
    if (IsDlgButtonChecked(IDC_TX_IGNORESPACE) == BST_CHECKED) std::erase(text, u' ');
    text = text::ReplaceAll(text, u"\r\n", u"");
    if (text.empty()) return;
    if (text.size() == 1) text.insert(text.begin(), u'0');
    int count = static_cast<int>(text.size() / 2);
    bytes.resize(static_cast<std::size_t>(count));
    HexStrToBytes(text, bytes.data(), count);
    bytes.resize(static_cast<std::size_t>(count));
  } else {
    // Twice, so "\r\r\n" also ends as one "\n".
    text = text::ReplaceAll(text::ReplaceAll(text, u"\r\n", u"\n"), u"\r\n", u"\n");
    const std::string converted = platform::WideToMultiByte(platform::GetACP(), text);
    bytes.assign(converted.begin(), converted.end());
  }
  // A fresh buffer per request: requests still queued keep their own bytes.
  m_strSendBuf = std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
  m_sendThread.PostSend(m_strSendBuf);
}

void CSerialPortDlg::OnBnClickedClearSend() { SetDlgItemText(IDC_TX_EDIT, u""); }

void CSerialPortDlg::OnBnClickedTxHex() {
  EnableItem(IDC_TX_IGNORESPACE, IsDlgButtonChecked(IDC_TX_HEX) == BST_CHECKED);
  UpdateChecksum();
}
