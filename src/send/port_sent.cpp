#include "app/serial_port_dlg.h"
#include "platform/text.h"
#include "res/resource.h"
#include "res/string_table.h"

LRESULT CSerialPortDlg::OnPortSent(WPARAM wParam, LPARAM lParam) {
  const auto written = static_cast<std::uint64_t>(wParam);
  // A failure reported after the user closed the port stays silent, and so do the failures
  // of requests queued behind the first one: the port is closed by then. A report from an
  // earlier connection must not close the port opened since.
  if (written == 0 && lParam == m_sendThread.ConnectionTag() && IsPortOpen()) ReportSendFail();
  m_nTxCount += written;
  SetDlgItemText(IDC_TX_COUNT, u"TX:" + text::Decimal(m_nTxCount));
  return 0;
}

void CSerialPortDlg::ReportSendFail() {
  OnBnClickedOpen();
  OnBnClickedRefresh();
  MessageBox(LoadString(IDS_SEND_FAIL));
}
