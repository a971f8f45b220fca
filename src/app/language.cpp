#include "app/serial_port_dlg.h"
#include "platform/codepage.h"
#include "res/resource.h"
#include "res/string_table.h"

namespace {
// Controls whose captions come from the string table, in the order they are set.
struct CaptionRow {
  int controlId;
  int stringId;
};
constexpr CaptionRow kCaptions[] = {
    {IDC_GRP_SETTING, 104},  {IDC_LBL_PORT, 105},     {IDC_LBL_BAUD, 106},      {IDC_LBL_PARITY, 107},
    {IDC_LBL_DATABITS, 108}, {IDC_LBL_STOPBITS, 109}, {IDC_GRP_RXCTRL, 112},    {IDC_GRP_TXCTRL, 119},
    {IDC_LBL_INTERVAL, 122}, {IDC_GRP_RX, 125},       {IDC_GRP_TX, 126},        {IDC_LBL_MS, 123},
    {IDC_REFRESH, 110},      {IDC_OPEN, 111},         {IDC_RX_CLEAR, 113},      {IDC_RX_PAUSE, 114},
    {IDC_COUNT_CLEAR, 124},  {IDC_RX_SAVE, 129},      {IDC_TX_CLEAR, 127},      {IDC_SEND, 128},
    {IDC_SEND_FILE, 130},    {IDC_RX_AUTOCLEAR, 116}, {IDC_FILTER_SET, 145},    {IDC_RX_FILTER, 144},
    {IDC_RX_HEX, 117},       {IDC_RX_ADDSPACE, 118},  {IDC_TX_HEX, 117},        {IDC_TX_IGNORESPACE, 120},
    {IDC_TX_AUTOSEND, 121},
};
}  // namespace

void CSerialPortDlg::ApplyLanguage() {
  m_nLangBase = platform::UiLanguageBase();
  for (const auto& row : kCaptions) SetDlgItemText(row.controlId, LoadString(row.stringId));
}

const std::u16string& CSerialPortDlg::LoadString(int id) {
  // One text exists in a single language only; a missing text leaves m_strTemp as it was.
  const int resourceId = id == 103 ? id : id + m_nLangBase;
  if (const char16_t* text = FindResourceString(resourceId)) m_strTemp = text;
  return m_strTemp;
}
