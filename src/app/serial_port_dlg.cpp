#include "app/serial_port_dlg.h"

#include "platform/codepage.h"
#include "platform/memory_hint.h"
#include "receive/filter_dialog.h"
#include "res/dialog_template.h"
#include "res/resource.h"
#include "res/string_table.h"
#include "serial/port_messages.h"

namespace {
// Address space set aside for the receive text up front: growing a string of many megabytes
// copies it whole, which under a flood would hold the window up for a noticeable moment.
// Untouched pages cost no memory.
constexpr std::size_t kReceiveTextReserve = std::size_t(128) << 20;
}  // namespace

CSerialPortDlg::CSerialPortDlg()
    : CDialogEx(MainDialogTemplate()), m_hIcon(IDR_MAINFRAME), m_serialPort(*this), m_rxDecoder(platform::GetACP()) {
  m_strReceive.reserve(kReceiveTextReserve);
  platform::PreferHugePages(m_strReceive.data(), m_strReceive.capacity() * sizeof(char16_t));
}

CSerialPortDlg::~CSerialPortDlg() {
  // Threads never outlive the objects they use.
  m_serialPort.Close();
  m_sendThread.Stop();
  delete m_pFilterDlg;
}

const MessageMap& CSerialPortDlg::GetMessageMap() const {
  static const MessageMap map = {
      OnNotify(BN_CLICKED, IDC_REFRESH, &CSerialPortDlg::OnBnClickedRefresh),
      OnNotify(BN_CLICKED, IDC_OPEN, &CSerialPortDlg::OnBnClickedOpen),
      OnNotify(CBN_DROPDOWN, IDC_PORT, &CSerialPortDlg::OnCbnDropdownPort),
      OnMessage(WM_CLOSE, &CSerialPortDlg::OnClose),
      // Receive
      OnMessage(WM_PORT_RXDATA, &CSerialPortDlg::OnPortRxData),
      OnNotify(BN_CLICKED, IDC_RX_CLEAR, &CSerialPortDlg::OnBnClickedClearReceive),
      OnNotify(BN_CLICKED, IDC_RX_PAUSE, &CSerialPortDlg::OnBnClickedPause),
      OnNotify(BN_CLICKED, IDC_RX_SAVE, &CSerialPortDlg::OnBnClickedSaveTxt),
      OnNotify(BN_CLICKED, IDC_RX_HEX, &CSerialPortDlg::OnBnClickedRxHex),
      OnNotify(BN_CLICKED, IDC_FILTER_SET, &CSerialPortDlg::OnBnClickedFilterSet),
      OnNotify(BN_CLICKED, IDC_RX_FILTER, &CSerialPortDlg::OnBnClickedFilter),
      // Send
      OnTimerMessage(&CSerialPortDlg::OnTimer),
      OnMessage(WM_PORT_SENT, &CSerialPortDlg::OnPortSent),
      OnNotify(BN_CLICKED, IDC_SEND, &CSerialPortDlg::OnBnClickedSend),
      OnNotify(BN_CLICKED, IDC_TX_CLEAR, &CSerialPortDlg::OnBnClickedClearSend),
      OnNotify(BN_CLICKED, IDC_COUNT_CLEAR, &CSerialPortDlg::OnBnClickedCountClear),
      OnNotify(BN_CLICKED, IDC_TX_AUTOSEND, &CSerialPortDlg::OnBnClickedAutoSend),
      OnNotify(BN_CLICKED, IDC_TX_HEX, &CSerialPortDlg::OnBnClickedTxHex),
      OnNotify(EN_CHANGE, IDC_TX_EDIT, &CSerialPortDlg::UpdateChecksum),
      OnNotify(EN_KILLFOCUS, IDC_TX_INTERVAL, &CSerialPortDlg::OnEnKillfocusInterval),
      OnNotify(EN_SETFOCUS, IDC_TX_EDIT, &CSerialPortDlg::OnEnSetfocusTxEdit),
      OnNotify(EN_KILLFOCUS, IDC_TX_EDIT, &CSerialPortDlg::OnEnKillfocusTxEdit),
      // Send file
      OnNotify(BN_CLICKED, IDC_SEND_FILE, &CSerialPortDlg::OnBnClickedSendFile),
      OnNotify(CBN_SELCHANGE, IDC_FILE_HISTORY, &CSerialPortDlg::OnCbnSelchangeFileHistory),
      OnDropFilesMessage(&CSerialPortDlg::OnDropFiles),
      OnMessage(WM_PORT_FILEPROGRESS, &CSerialPortDlg::OnPortFileProgress),
      OnMessage(WM_PORT_FILEDONE, &CSerialPortDlg::OnPortFileDone),
  };
  return map;
}

void CSerialPortDlg::DoDataExchange(DataExchange& dx) {
  // The receive box shows m_strReceive itself; the box catches up with its changes.
  if (dx.m_bSaveAndValidate) {
    m_strReceive = GetDlgItemText(IDC_RX_EDIT);
  } else if (auto* window = Window()) {
    window->EditAttachText(IDC_RX_EDIT, &m_strReceive);
    window->EditTextChanged(IDC_RX_EDIT, 0);
  }
}

BOOL CSerialPortDlg::OnInitDialog() {
  CDialogEx::OnInitDialog();
  ApplyLanguage();
  m_dqFilePaths.clear();
  m_dqFileNames.clear();
  m_pFilterDlg = nullptr;
  SetWindowText(LoadString(IDS_TITLE));
  m_pFilterDlg = new Filter(this);
  m_bOnlyReserve = false;
  CheckDlgButton(IDC_RX_AUTOCLEAR, BST_CHECKED);
  CheckDlgButton(IDC_TX_IGNORESPACE, BST_CHECKED);
  CheckDlgButton(IDC_RX_ADDSPACE, BST_CHECKED);
  SpinSetRange(IDC_TX_INTERVAL_SPIN, 0, 0x7FFF);
  EnableItem(IDC_RX_PAUSE, false);
  LoadSettings();
  OnBnClickedRefresh();
  m_rxLines = std::make_unique<DisplayLineCounter>(Window()->EditTextAreaWidth(IDC_RX_EDIT),
                                                   Window()->EditCharWidth(IDC_RX_EDIT));
  UpdateChecksum();
  return TRUE;
}

void CSerialPortDlg::OnClose() {
  if (IsPortOpen()) OnBnClickedOpen();
  delete m_pFilterDlg;
  m_pFilterDlg = nullptr;
  DefaultClose();
}
