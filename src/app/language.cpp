#include "app/language.h"

#include "platform/codepage.h"
#include "platform/dialog.h"
#include "res/resource.h"
#include "res/string_table.h"

namespace {
// Controls whose captions come from the string table, in the order they are set.
struct CaptionRow {
  int controlId;
  int stringId;
};
constexpr CaptionRow kCaptions[] = {
    {IDC_GRP_SETTING, IDS_SETTING},     {IDC_LBL_PORT, IDS_PORT},          {IDC_LBL_BAUD, IDS_BAUD},
    {IDC_LBL_PARITY, IDS_PARITY},       {IDC_LBL_DATABITS, IDS_DATABITS},  {IDC_LBL_STOPBITS, IDS_STOPBITS},
    {IDC_GRP_RXCTRL, IDS_RX_CONTROL},   {IDC_GRP_TXCTRL, IDS_TX_CONTROL},  {IDC_LBL_INTERVAL, IDS_INTERVALS},
    {IDC_GRP_RX, IDS_RECEIVE},          {IDC_GRP_TX, IDS_SEND},            {IDC_LBL_MS, IDS_MS},
    {IDC_REFRESH, IDS_REFRESH},         {IDC_OPEN, IDS_OPEN},              {IDC_RX_CLEAR, IDS_CLEAR_RECEIVE},
    {IDC_RX_PAUSE, IDS_PAUSE},          {IDC_COUNT_CLEAR, IDS_CLEAR},      {IDC_RX_SAVE, IDS_SAVE_AS_TXT},
    {IDC_TX_CLEAR, IDS_CLEAR_SEND},     {IDC_SEND, IDS_SEND_BUTTON},       {IDC_SEND_FILE, IDS_SEND_FILE},
    {IDC_RX_AUTOCLEAR, IDS_AUTO_CLEAR}, {IDC_FILTER_SET, IDS_FILTER_SET},  {IDC_RX_FILTER, IDS_RX_FILTER},
    {IDC_RX_HEX, IDS_HEX},              {IDC_RX_ADDSPACE, IDS_ADD_SPACE},  {IDC_TX_HEX, IDS_HEX},
    {IDC_TX_IGNORESPACE, IDS_IGNORE_SPACE}, {IDC_TX_AUTOSEND, IDS_AUTO_SEND},
    // The grown window
    {IDC_GRP_LINE, IDS_LINE},           {IDC_GRP_VIEW, IDS_VIEW},          {IDC_GRP_TXOPT, IDS_SEND_OPTIONS},
    {IDC_GRP_COMMANDS, IDS_COMMANDS},  {IDC_LBL_FLOW, IDS_FLOW},          {IDC_BREAK, IDS_BREAK},
    {IDC_RECONNECT, IDS_RECONNECT},     {IDC_LBL_LINEEND, IDS_LINE_END},   {IDC_LBL_APPEND, IDS_APPEND},
    {IDC_LBL_ENCODING, IDS_ENCODING},   {IDC_RX_HEXDUMP, IDS_HEX_DUMP},
    // The commands
    {IDC_CMD_SEND, IDS_SEND},           {IDC_CMD_UP, IDS_CMD_UP},          {IDC_CMD_DOWN, IDS_CMD_DOWN},
    {IDC_CMD_REMOVE, IDS_CMD_REMOVE},   {IDC_LBL_CMD_NAME, IDS_CMD_NAME},  {IDC_LBL_CMD_TEXT, IDS_CMD_TEXT},
    {IDC_CMD_HEX, IDS_HEX},             {IDC_LBL_CMD_LINEEND, IDS_LINE_END}, {IDC_LBL_CMD_APPEND, IDS_APPEND},
    {IDC_CMD_ADD, IDS_CMD_ADD},         {IDC_CMD_APPLY, IDS_CMD_APPLY},    {IDC_LBL_CMD_DELAY, IDS_CMD_DELAY},
    {IDC_LBL_CMD_MS, IDS_MS},           {IDC_LBL_CMD_REPEAT, IDS_CMD_REPEAT}, {IDC_LBL_CMD_REPEAT_HINT, IDS_CMD_REPEAT_HINT},
    {IDC_CMD_RUN, IDS_CMD_RUN},         {IDC_CMD_STOP, IDS_CMD_STOP},      {IDC_CMD_IMPORT, IDS_CMD_IMPORT},
    {IDC_CMD_EXPORT, IDS_CMD_EXPORT},
    // View and log
    {IDC_RX_TIMESTAMP, IDS_TIMESTAMP},  {IDC_LBL_IDLE_GAP, IDS_IDLE_GAP},  {IDC_SHOW_SENT, IDS_SHOW_SENT},
    {IDC_LOG, IDS_LOG},
};
}  // namespace

void Language::Apply(CDialogEx& mainWindow) {
  m_base = platform::UiLanguageBase();
  for (const auto& row : kCaptions) mainWindow.SetDlgItemText(row.controlId, Text(row.stringId));
}

const std::u16string& Language::Text(int englishId) {
  FetchString(englishId, m_base, m_scratch);
  return m_scratch;
}
