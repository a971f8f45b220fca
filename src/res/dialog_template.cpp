#include "res/dialog_template.h"

#include "res/resource.h"
#include "res/string_table.h"
#include "res/window_styles.h"

namespace {

using namespace ws;

constexpr std::uint32_t kButton = Child | Visible | TabStop | PushButton;
constexpr std::uint32_t kDefaultButton = Child | Visible | TabStop | DefPushButton;
constexpr std::uint32_t kCheckBox = Child | Visible | TabStop | AutoCheckBox;
constexpr std::uint32_t kDisabledCheckBox = kCheckBox | Disabled;
// Shows a state the program reads; a click changes nothing.
constexpr std::uint32_t kIndicator = Child | Visible | TabStop | ws::CheckBox | Disabled;
constexpr std::uint32_t kGroupBox = Child | Visible | GroupBox;
constexpr std::uint32_t kLabel = Child | Visible | Group | Left;
constexpr std::uint32_t kSettingLabel = kLabel | CenterImage;
constexpr std::uint32_t kSettingCombo = Child | Visible | VScroll | TabStop | DropDown | ComboAutoHScroll;
constexpr std::uint32_t kLineEdit = Child | Visible | Border | TabStop | AutoHScroll;
constexpr std::uint32_t kListOnlyCombo = Child | Visible | VScroll | TabStop | DropDownList;
constexpr std::uint32_t kMultiLineEdit = Child | Visible | Border | VScroll | Multiline | AutoVScroll | WantReturn;

using K = ControlKind;

// Creation order is tab order and drawing order: keep it.
constexpr ControlTemplate kMainControls[] = {
    {IDC_SEND, "IDC_SEND", K::PushButton, kDefaultButton, 0, u"Send(Ctrl+En)", 382, 287, 50, 14},
    {IDC_OPEN, "IDC_OPEN", K::PushButton, kButton, 0, u"Open", 45, 80, 35, 14},
    {IDC_REFRESH, "IDC_REFRESH", K::PushButton, kButton, 0, u"Refresh", 9, 80, 35, 14},
    {IDC_RX_CLEAR, "IDC_RX_CLEAR", K::PushButton, kButton, 0, u"Clear Receive", 9, 107, 49, 14},
    {IDC_RX_PAUSE, "IDC_RX_PAUSE", K::PushButton, kButton, 0, u"Pause", 9, 123, 49, 14},
    {IDC_RX_AUTOCLEAR, "IDC_RX_AUTOCLEAR", K::CheckBox, kCheckBox, ExTransparent, u"Auto Clear", 10, 138, 51, 9},
    {IDC_RX_HEX, "IDC_RX_HEX", K::CheckBox, kCheckBox, ExTransparent, u"Hex", 10, 149, 51, 9},
    {IDC_TX_HEX, "IDC_TX_HEX", K::CheckBox, kCheckBox, ExTransparent, u"Hex", 11, 225, 55, 9},
    {IDC_TX_AUTOSEND, "IDC_TX_AUTOSEND", K::CheckBox, kCheckBox, ExTransparent, u"Auto Send", 11, 247, 50, 9},
    {IDC_LBL_INTERVAL, "IDC_LBL_INTERVAL", K::StaticText, kLabel, ExTransparent, u"Intervals\uFF1A", 11, 257, 34, 8},
    {IDC_TX_INTERVAL, "IDC_TX_INTERVAL", K::Edit, Child | Visible | Border | TabStop | AutoHScroll | Number, 0, u"",
     11, 267, 54, 12},
    // Plain digits in the buddy: "1,001" would read back as 1.
    {IDC_TX_INTERVAL_SPIN, "IDC_TX_INTERVAL_SPIN", K::UpDown,
     Child | Visible | UdsWrap | UdsSetBuddyInt | UdsAlignRight | UdsAutoBuddy | UdsArrowKeys | UdsNoThousands |
         UdsHotTrack,
     0, u"", 55, 267, 10, 12},
    {IDC_COUNT_CLEAR, "IDC_COUNT_CLEAR", K::PushButton, kButton, 0, u"Clear", 9, 287, 30, 13},
    // Created hidden, and nothing shows it.
    {IDC_TX_CLEAR, "IDC_TX_CLEAR", K::PushButton, Child | TabStop | PushButton, 0, u"Clear Send", 335, 287, 40, 14},
    {IDC_LBL_PORT, "IDC_LBL_PORT", K::StaticText, kSettingLabel, ExTransparent, u"COM:", 9, 14, 29, 8},
    {IDC_PORT, "IDC_PORT", K::ComboBox, kSettingCombo, 0, u"", 39, 12, 41, 30},
    {IDC_LBL_BAUD, "IDC_LBL_BAUD", K::StaticText, kSettingLabel, ExTransparent, u"Baud:", 9, 27, 29, 8},
    {IDC_LBL_PARITY, "IDC_LBL_PARITY", K::StaticText, kSettingLabel, ExTransparent, u"Check:", 9, 40, 29, 8},
    {IDC_LBL_DATABITS, "IDC_LBL_DATABITS", K::StaticText, kSettingLabel, ExTransparent, u"Datab:", 9, 53, 29, 8},
    {IDC_LBL_STOPBITS, "IDC_LBL_STOPBITS", K::StaticText, kSettingLabel, ExTransparent, u"Sbit:", 9, 67, 29, 8},
    {IDC_GRP_SETTING, "IDC_GRP_SETTING", K::GroupBox, kGroupBox, ExTransparent, u"Setting", 5, 3, 81, 94},
    {IDC_BAUD, "IDC_BAUD", K::ComboBox, kSettingCombo, 0, u"", 39, 25, 41, 30},
    {IDC_PARITY, "IDC_PARITY", K::ComboBox, kSettingCombo, 0, u"", 39, 38, 41, 30},
    {IDC_DATABITS, "IDC_DATABITS", K::ComboBox, kSettingCombo, 0, u"", 39, 52, 41, 30},
    {IDC_STOPBITS, "IDC_STOPBITS", K::ComboBox, kSettingCombo, 0, u"", 39, 65, 41, 30},
    {IDC_RX_EDIT, "IDC_RX_EDIT", K::MultiLineEdit, kMultiLineEdit, ExTransparent, u"", 95, 13, 337, 195},
    {IDC_TX_EDIT, "IDC_TX_EDIT", K::MultiLineEdit, kMultiLineEdit | TabStop, 0, u"", 95, 224, 337, 54},
    {IDC_LBL_MS, "IDC_LBL_MS", K::StaticText, kLabel, ExTransparent, u"ms", 68, 269, 14, 8},
    {IDC_GRP_TX, "IDC_GRP_TX", K::GroupBox, kGroupBox, ExTransparent, u"Send", 89, 214, 348, 68},
    {IDC_GRP_RXCTRL, "IDC_GRP_RXCTRL", K::GroupBox, kGroupBox, ExTransparent, u"Receive Control", 5, 97, 81, 117},
    {IDC_GRP_TXCTRL, "IDC_GRP_TXCTRL", K::GroupBox, kGroupBox, ExTransparent, u"Send Control", 5, 214, 81, 68},
    {IDC_RX_COUNT, "IDC_RX_COUNT", K::StaticText, kLabel, ExTransparent, u"RX:0", 41, 290, 46, 8},
    {IDC_TX_COUNT, "IDC_TX_COUNT", K::StaticText, kLabel, ExTransparent, u"TX:0", 88, 290, 47, 8},
    // Frames the counters and their Clear button.
    {IDC_STATIC, "IDC_STATIC", K::GroupBox, kGroupBox, ExTransparent, u"", 5, 281, 134, 21},
    {IDC_TX_IGNORESPACE, "IDC_TX_IGNORESPACE", K::CheckBox, kDisabledCheckBox, 0, u"Ignore Space", 18, 235, 57, 9},
    {IDC_SEND_FILE, "IDC_SEND_FILE", K::PushButton, kButton, 0, u"Send File", 146, 287, 35, 14},
    {IDC_FILE_HISTORY, "IDC_FILE_HISTORY", K::DropDownList, Child | Visible | VScroll | TabStop | DropDownList, 0, u"",
     184, 288, 98, 30},
    {IDC_RX_ADDSPACE, "IDC_RX_ADDSPACE", K::CheckBox, kDisabledCheckBox, 0, u"Add Space", 18, 158, 50, 10},
    {IDC_GRP_RX, "IDC_GRP_RX", K::GroupBox, kGroupBox, ExTransparent, u"Receive", 89, 3, 348, 211},
    {IDC_CHECKSUM, "IDC_CHECKSUM", K::StaticText, kLabel, 0, u"CRC xor:      add:", 303, 289, 70, 12},
    {IDC_RX_SAVE, "IDC_RX_SAVE", K::PushButton, kButton, 0, u"Save as txt", 9, 169, 48, 14},
    {IDC_FILTER_SET, "IDC_FILTER_SET", K::PushButton, kButton, 0, u"Filter Set", 18, 195, 46, 14},
    {IDC_RX_FILTER, "IDC_RX_FILTER", K::CheckBox, kCheckBox, 0, u"Filter", 10, 185, 53, 10},

    // The grown window: a column beside the first one, band by band, and the commands'
    // panel. New controls come before the group box that frames them, as above.
    // Line controls, by the port settings.
    {IDC_LBL_FLOW, "IDC_LBL_FLOW", K::StaticText, kSettingLabel, ExTransparent, u"Flow:", 446, 14, 25, 8},
    {IDC_FLOW, "IDC_FLOW", K::DropDownList, Child | Visible | VScroll | TabStop | DropDownList, 0, u"", 472, 12, 56,
     40},
    {IDC_DTR, "IDC_DTR", K::CheckBox, kCheckBox, ExTransparent, u"DTR", 446, 27, 38, 10},
    {IDC_RTS, "IDC_RTS", K::CheckBox, kCheckBox, ExTransparent, u"RTS", 488, 27, 38, 10},
    {IDC_CTS, "IDC_CTS", K::CheckBox, kIndicator, ExTransparent, u"CTS", 446, 39, 38, 10},
    {IDC_DSR, "IDC_DSR", K::CheckBox, kIndicator, ExTransparent, u"DSR", 488, 39, 38, 10},
    {IDC_DCD, "IDC_DCD", K::CheckBox, kIndicator, ExTransparent, u"DCD", 446, 50, 38, 10},
    {IDC_RI, "IDC_RI", K::CheckBox, kIndicator, ExTransparent, u"RI", 488, 50, 38, 10},
    {IDC_BREAK, "IDC_BREAK", K::PushButton, kButton | Disabled, 0, u"Break", 446, 63, 40, 14},
    {IDC_RECONNECT, "IDC_RECONNECT", K::CheckBox, kCheckBox, ExTransparent, u"Reconnect", 446, 79, 82, 10},
    {IDC_PORT_STATUS, "IDC_PORT_STATUS", K::StaticText, kLabel, ExTransparent, u"", 446, 89, 84, 8},
    {IDC_GRP_LINE, "IDC_GRP_LINE", K::GroupBox, kGroupBox, ExTransparent, u"Line", 441, 3, 92, 94},
    // View options, by the receive ones.
    {IDC_LBL_ENCODING, "IDC_LBL_ENCODING", K::StaticText, kSettingLabel, ExTransparent, u"Encoding:", 446, 109, 30,
     8},
    {IDC_ENCODING, "IDC_ENCODING", K::DropDownList, Child | Visible | VScroll | TabStop | DropDownList, 0, u"", 477,
     107, 52, 100},
    {IDC_RX_HEXDUMP, "IDC_RX_HEXDUMP", K::CheckBox, kCheckBox, ExTransparent, u"Hex dump", 446, 124, 82, 10},
    {IDC_RX_TIMESTAMP, "IDC_RX_TIMESTAMP", K::CheckBox, kCheckBox, ExTransparent, u"Time stamp", 446, 137, 82, 10},
    {IDC_LBL_IDLE_GAP, "IDC_LBL_IDLE_GAP", K::StaticText, kSettingLabel, ExTransparent, u"Idle gap (ms)", 446, 151,
     46, 8},
    {IDC_IDLE_GAP, "IDC_IDLE_GAP", K::Edit, Child | Visible | Border | TabStop | AutoHScroll | Number, 0, u"", 493, 149,
     35, 11},
    {IDC_IDLE_GAP_SPIN, "IDC_IDLE_GAP_SPIN", K::UpDown,
     Child | Visible | UdsSetBuddyInt | UdsAlignRight | UdsAutoBuddy | UdsArrowKeys | UdsNoThousands | UdsHotTrack, 0,
     u"", 518, 149, 10, 11},
    {IDC_SHOW_SENT, "IDC_SHOW_SENT", K::CheckBox, kCheckBox, ExTransparent, u"Show sent", 446, 161, 82, 10},
    {IDC_LOG, "IDC_LOG", K::PushButton, kButton, 0, u"Log...", 446, 196, 50, 14},
    {IDC_GRP_VIEW, "IDC_GRP_VIEW", K::GroupBox, kGroupBox, ExTransparent, u"View", 441, 97, 92, 117},
    // Send options, by the send box.
    {IDC_LBL_LINEEND, "IDC_LBL_LINEEND", K::StaticText, kSettingLabel, ExTransparent, u"Line end:", 446, 226, 27, 8},
    {IDC_LINEEND, "IDC_LINEEND", K::DropDownList, Child | Visible | VScroll | TabStop | DropDownList, 0, u"", 474, 224,
     55, 60},
    {IDC_LBL_APPEND, "IDC_LBL_APPEND", K::StaticText, kSettingLabel, ExTransparent, u"Append:", 446, 242, 27, 8},
    {IDC_APPEND, "IDC_APPEND", K::DropDownList, Child | Visible | VScroll | TabStop | DropDownList, 0, u"", 474, 240,
     55, 80},
    // The bytes Append adds to the send box's frame.
    {IDC_APPEND_VALUE, "IDC_APPEND_VALUE", K::StaticText, kLabel, ExTransparent, u"", 446, 258, 83, 8},
    {IDC_GRP_TXOPT, "IDC_GRP_TXOPT", K::GroupBox, kGroupBox, ExTransparent, u"Send options", 441, 214, 92, 68},
    // The log file, while a log runs.
    {IDC_LOG_FILE, "IDC_LOG_FILE", K::StaticText, kLabel, ExTransparent, u"", 443, 285, 90, 16},
    // The commands: the list and what acts on the selected one, its editor, the sequence,
    // the file.
    {IDC_CMD_LIST, "IDC_CMD_LIST", K::ListBox,
     Child | Visible | Border | VScroll | TabStop | LbsNotify | LbsNoIntegralHeight, 0, u"", 542, 13, 140, 92},
    {IDC_CMD_SEND, "IDC_CMD_SEND", K::PushButton, kButton | Disabled, 0, u"Send", 542, 107, 34, 14},
    {IDC_CMD_UP, "IDC_CMD_UP", K::PushButton, kButton | Disabled, 0, u"Up", 577, 107, 34, 14},
    {IDC_CMD_DOWN, "IDC_CMD_DOWN", K::PushButton, kButton | Disabled, 0, u"Down", 612, 107, 34, 14},
    {IDC_CMD_REMOVE, "IDC_CMD_REMOVE", K::PushButton, kButton | Disabled, 0, u"Remove", 647, 107, 35, 14},
    {IDC_LBL_CMD_NAME, "IDC_LBL_CMD_NAME", K::StaticText, kSettingLabel, ExTransparent, u"Name:", 542, 128, 31, 8},
    {IDC_CMD_NAME, "IDC_CMD_NAME", K::Edit, kLineEdit, 0, u"", 574, 126, 108, 12},
    {IDC_LBL_CMD_TEXT, "IDC_LBL_CMD_TEXT", K::StaticText, kSettingLabel, ExTransparent, u"Text:", 542, 142, 31, 8},
    {IDC_CMD_TEXT, "IDC_CMD_TEXT", K::Edit, kLineEdit, 0, u"", 574, 140, 108, 12},
    {IDC_CMD_HEX, "IDC_CMD_HEX", K::CheckBox, kCheckBox, ExTransparent, u"Hex", 574, 155, 60, 10},
    {IDC_LBL_CMD_LINEEND, "IDC_LBL_CMD_LINEEND", K::StaticText, kSettingLabel, ExTransparent, u"Line end:", 542,
     169, 31, 8},
    {IDC_CMD_LINEEND, "IDC_CMD_LINEEND", K::DropDownList, kListOnlyCombo, 0, u"", 574, 167, 108, 70},
    {IDC_LBL_CMD_APPEND, "IDC_LBL_CMD_APPEND", K::StaticText, kSettingLabel, ExTransparent, u"Append:", 542, 184,
     31, 8},
    {IDC_CMD_APPEND, "IDC_CMD_APPEND", K::DropDownList, kListOnlyCombo, 0, u"", 574, 182, 108, 90},
    {IDC_CMD_ADD, "IDC_CMD_ADD", K::PushButton, kButton, 0, u"Add", 542, 198, 69, 14},
    {IDC_CMD_APPLY, "IDC_CMD_APPLY", K::PushButton, kButton | Disabled, 0, u"Apply", 613, 198, 69, 14},
    {IDC_LBL_CMD_DELAY, "IDC_LBL_CMD_DELAY", K::StaticText, kSettingLabel, ExTransparent, u"Delay:", 542, 218, 31, 8},
    {IDC_CMD_DELAY, "IDC_CMD_DELAY", K::Edit, kLineEdit | Number, 0, u"100", 574, 216, 40, 12},
    {IDC_LBL_CMD_MS, "IDC_LBL_CMD_MS", K::StaticText, kLabel, ExTransparent, u"ms", 617, 218, 65, 8},
    {IDC_LBL_CMD_REPEAT, "IDC_LBL_CMD_REPEAT", K::StaticText, kSettingLabel, ExTransparent, u"Repeat:", 542, 233, 31,
     8},
    {IDC_CMD_REPEAT, "IDC_CMD_REPEAT", K::Edit, kLineEdit | Number, 0, u"1", 574, 231, 40, 12},
    {IDC_LBL_CMD_REPEAT_HINT, "IDC_LBL_CMD_REPEAT_HINT", K::StaticText, kLabel, ExTransparent, u"0: until stopped",
     617, 233, 65, 8},
    {IDC_CMD_RUN, "IDC_CMD_RUN", K::PushButton, kButton, 0, u"Run", 542, 246, 69, 14},
    {IDC_CMD_STOP, "IDC_CMD_STOP", K::PushButton, kButton | Disabled, 0, u"Stop", 613, 246, 69, 14},
    {IDC_CMD_STATUS, "IDC_CMD_STATUS", K::StaticText, kLabel, ExTransparent, u"", 542, 264, 140, 8},
    {IDC_CMD_IMPORT, "IDC_CMD_IMPORT", K::PushButton, kButton, 0, u"Import...", 542, 282, 69, 14},
    {IDC_CMD_EXPORT, "IDC_CMD_EXPORT", K::PushButton, kButton, 0, u"Export...", 613, 282, 69, 14},
    {IDC_GRP_COMMANDS, "IDC_GRP_COMMANDS", K::GroupBox, kGroupBox, ExTransparent, u"Commands", 537, 3, 150, 299},
};

// The combos do not sort: this order is the display order.
constexpr const char16_t* kBaudRates[] = {u"110",   u"300",   u"600",   u"1200",   u"2400",   u"4800",  u"9600",
                                          u"19200", u"38400", u"57600", u"115200", u"128000", u"256000"};
constexpr const char16_t* kParities[] = {u"NONE", u"ODD", u"EVEN", u"MARK", u"SPACE"};
constexpr const char16_t* kDataBits[] = {u"8", u"7", u"6", u"5", u"4"};
constexpr const char16_t* kStopBits[] = {u"1", u"1.5", u"2"};

constexpr ComboInitialList kMainComboLists[] = {
    {IDC_BAUD, kBaudRates},
    {IDC_PARITY, kParities},
    {IDC_DATABITS, kDataBits},
    {IDC_STOPBITS, kStopBits},
};

// The Only reserve box (1043) is created hidden. The condition box has no ES_WANTRETURN,
// so Enter presses OK there.
constexpr ControlTemplate kFilterControls[] = {
    {IDOK, "IDOK", K::PushButton, kDefaultButton, 0, u"OK", 70, 107, 62, 21},
    {IDCANCEL, "IDCANCEL", K::PushButton, kButton, 0, u"Cancel", 168, 108, 58, 21},
    {IDC_FILTER_TEXT, "IDC_FILTER_TEXT", K::MultiLineEdit,
     Child | Visible | Border | VScroll | TabStop | Multiline | AutoVScroll, 0, u"", 28, 48, 216, 50},
    {IDC_FILTER_KEEP, "IDC_FILTER_KEEP", K::CheckBox, Child | TabStop | AutoCheckBox, 0, u"Check1", 211, 7, 39, 10},
    {IDC_FILTER_HINT, "IDC_FILTER_HINT", K::StaticText, kLabel, 0,
     u"There are multiple conditions separated by commas, not input redundant character.", 30, 25, 186, 20},
};

constexpr DialogTemplate kMainDialog{
    IDD_MAIN_DIALOG,
    kProgramTitle,
    692,
    307,
    Popup | Visible | Caption | SysMenu | MinimizeBox | DsModalFrame | DsSetFont | DsFixedSys,
    ExAppWindow | ExAcceptFiles,
    u"MS Shell Dlg",
    9,
    kMainControls,
    kMainComboLists,
};

constexpr DialogTemplate kFilterDialog{
    IDD_FILTER,
    u"Filter",
    273,
    143,
    Popup | Caption | SysMenu | DsModalFrame | DsSetFont | DsFixedSys,
    0,
    u"MS Shell Dlg",
    8,
    kFilterControls,
    {},
};

static_assert(kMainDialog.style == 0x90CA00C8 && kMainDialog.exStyle == 0x00040010);
static_assert(kFilterDialog.style == 0x80C800C8);

}  // namespace

const DialogTemplate& MainDialogTemplate() { return kMainDialog; }
const DialogTemplate& FilterDialogTemplate() { return kFilterDialog; }
