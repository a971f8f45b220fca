#include <cstring>

#include "app/serial_port_dlg.h"
#include "platform/text.h"
#include "receive/hex_format.h"
#include "res/resource.h"
#include "res/string_table.h"

namespace {
constexpr int kAutoClearLines = 200;
constexpr LPARAM kLargestChunk = 501;
}  // namespace

LRESULT CSerialPortDlg::OnPortRxData(WPARAM wParam, LPARAM lParam) {
  if (lParam > kLargestChunk) return 1;
  const int count = static_cast<int>(lParam);
  if (count > 0) std::memcpy(m_byRxBuf, reinterpret_cast<const void*>(wParam), static_cast<std::size_t>(count));

  if (IsDlgButtonChecked(IDC_RX_AUTOCLEAR) == BST_CHECKED && m_rxLines->LineCount() >= kAutoClearLines) {
    OnBnClickedClearReceive();
  }

  const std::size_t oldLength = m_strReceive.size();
  if (IsDlgButtonChecked(IDC_RX_HEX) == BST_CHECKED) {
    AppendHex(m_byRxBuf, count, IsDlgButtonChecked(IDC_RX_ADDSPACE) == BST_CHECKED, m_strReceive);
  } else {
    m_rxDecoder.Append(m_byRxBuf, static_cast<std::size_t>(count), m_strReceive);
  }

  std::size_t firstChange = oldLength;
  if (m_bFilter && !m_vecFilter.empty()) {
    firstChange = m_rxFilter.Apply(m_strReceive, oldLength, m_vecFilter);
  } else {
    m_rxFilter.Reset();
  }
  ReceiveTextChanged(firstChange);

  const int length = GetWindowTextLength(IDC_RX_EDIT);
  EditSetSel(IDC_RX_EDIT, length, length);
  EditScrollCaret(IDC_RX_EDIT);

  m_nRxCount += count;
  SetDlgItemText(IDC_RX_COUNT, u"RX:" + text::Decimal(m_nRxCount));
  SetDlgItemText(IDC_GRP_RX, LoadString(IDS_RECEIVE) + u" " + text::Decimal(m_rxLines->LineCount()));
  return 0;
}

void CSerialPortDlg::ReceiveTextChanged(std::size_t firstChange) {
  if (m_strReceive.empty()) {
    m_rxLines->Reset();
  } else {
    m_rxLines->Update(m_strReceive, firstChange);
  }
  if (auto* window = Window()) window->EditTextChanged(IDC_RX_EDIT, firstChange);
}

void CSerialPortDlg::DropReceiveCarry() { m_rxDecoder.Reset(); }

void CSerialPortDlg::OnBnClickedClearReceive() {
  m_strReceive.clear();
  m_rxFilter.Reset();
  ReceiveTextChanged(0);
}

void CSerialPortDlg::OnBnClickedPause() {
  if (GetDlgItemText(IDC_RX_PAUSE) == LoadString(IDS_PAUSE)) {
    m_serialPort.Pause();
    SetDlgItemText(IDC_RX_PAUSE, LoadString(IDS_CONTINUE));
  } else {
    m_serialPort.Resume();
    SetDlgItemText(IDC_RX_PAUSE, LoadString(IDS_PAUSE));
  }
}

void CSerialPortDlg::OnBnClickedRxHex() {
  EnableItem(IDC_RX_ADDSPACE, IsDlgButtonChecked(IDC_RX_HEX) == BST_CHECKED);
  DropReceiveCarry();
}
