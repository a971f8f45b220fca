#include "app/serial_port_dlg.h"
#include "platform/port_names.h"
#include "platform/text.h"
#include "res/resource.h"
#include "res/string_table.h"
#include "serial/port_discovery.h"

namespace {
// The combo entry for a port's friendly name: "Name (ttyUSB0)" gives ttyUSB0; cut at "(",
// ")", " " and "-" as "Virtual Port (COM5->COM6)" gives COM5.
std::u16string EntryFromFriendlyName(std::u16string name) {
  if (const auto open = name.find(u'('); open != std::u16string::npos) name.erase(0, open + 1);
  // A name without ")" is kept as it stands rather than becoming an empty entry.
  if (const auto close = name.find(u')'); close != std::u16string::npos) name.resize(close);
  if (const auto space = name.find(u' '); space != std::u16string::npos) name.resize(space);
  if (const auto dash = name.find(u'-'); dash != std::u16string::npos) name.resize(dash);
  return name;
}

constexpr int kLineSettingControls[] = {IDC_PORT, IDC_BAUD, IDC_PARITY, IDC_DATABITS, IDC_STOPBITS, IDC_REFRESH};
}  // namespace

bool CSerialPortDlg::IsPortOpen() { return GetDlgItemText(IDC_OPEN) == LoadString(IDS_CLOSE); }

void CSerialPortDlg::SetConnectionControls(bool open) {
  SetDlgItemText(IDC_OPEN, LoadString(open ? IDS_CLOSE : IDS_OPEN));
  for (const int id : kLineSettingControls) EnableItem(id, !open);
  EnableItem(IDC_RX_PAUSE, open);
}

void CSerialPortDlg::OnBnClickedOpen() {
  if (GetDlgItemText(IDC_OPEN) != LoadString(IDS_OPEN)) {
    m_serialPort.Close();
    m_sendThread.Stop();
    m_sendThread.SetTarget(this, nullptr);
    DropReceiveCarry();
    SetConnectionControls(false);
    return;
  }

  const std::u16string port = GetDlgItemText(IDC_PORT);
  if (!platform::NamesSerialPort(port)) {
    MessageBox(LoadString(IDS_NOT_COM));
    return;
  }
  const int baudRate = GetDlgItemInt(IDC_BAUD);
  const std::u16string parity = GetDlgItemText(IDC_PARITY);
  const std::u16string dataBits = GetDlgItemText(IDC_DATABITS);
  const std::u16string stopBits = GetDlgItemText(IDC_STOPBITS);
  if (!m_serialPort.Open(port, baudRate, parity, dataBits, stopBits)) {
    const auto& refused = m_serialPort.RefusedSettingOfLastOpen();
    if (refused.which != platform::CommSetting::None) {
      const int label = refused.which == platform::CommSetting::BaudRate   ? IDS_BAUD
                        : refused.which == platform::CommSetting::Parity   ? IDS_PARITY
                        : refused.which == platform::CommSetting::ByteSize ? IDS_DATABITS
                                                                           : IDS_STOPBITS;
      const std::u16string setting = LoadString(label) + u" " + refused.value;
      MessageBox(text::FormatOne(LoadString(IDS_SETTING_REFUSED), setting));
    }
    return;
  }
  DropReceiveCarry();
  m_sendThread.SetTarget(this, m_serialPort.m_hComm);
  if (!m_sendThread.IsRunning()) m_sendThread.Start();
  SaveSettings();
  SetConnectionControls(true);
}

void CSerialPortDlg::OnBnClickedRefresh() {
  const std::u16string remembered = GetDlgItemText(IDC_PORT);
  ComboResetContent(IDC_PORT);
  std::vector<CSerialPort::CSerialInfo> ports;
  try {
    CSerialPort::EnumeratePorts(ports);
  } catch (const PortEnumerationError& error) {
    MessageBox(text::FormatOne(LoadString(IDS_PORT_LIST_ERROR), error.message));
    return;
  }
  for (const auto& port : ports) {
    if (!platform::NamesSerialPort(port.m_strFriendlyName)) continue;
    ComboAddString(IDC_PORT, EntryFromFriendlyName(port.m_strFriendlyName));
  }
  if (ComboGetCount(IDC_PORT) > 0 && ComboSelectString(IDC_PORT, 0, remembered) == CB_ERR) {
    ComboSetCurSel(IDC_PORT, 0);
  }
}

void CSerialPortDlg::OnCbnDropdownPort() { OnBnClickedRefresh(); }
