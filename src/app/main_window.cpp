#include "app/main_window.h"

#include <algorithm>
#include <iterator>

#include "app/serial_port_app.h"
#include "platform/app_dir.h"
#include "platform/text.h"
#include "res/dialog_template.h"
#include "res/resource.h"
#include "res/string_table.h"

namespace {
constexpr int kLineSettingControls[] = {IDC_PORT, IDC_BAUD, IDC_PARITY, IDC_DATABITS, IDC_STOPBITS, IDC_FLOW, IDC_REFRESH};
constexpr int kInputLineIndicators[] = {IDC_CTS, IDC_DSR, IDC_DCD, IDC_RI};
std::u16string_view Flag(bool on) { return on ? u"1" : u"0"; }

// The lists of names show `values` in their order: the selection is an index into them.
template <class Value, std::size_t N>
Value Picked(int selection, const Value (&values)[N]) {
  return selection >= 0 && selection < static_cast<int>(N) ? values[selection] : values[0];
}
template <class Value, std::size_t N>
int IndexOf(Value value, const Value (&values)[N]) {
  return static_cast<int>(std::find(std::begin(values), std::end(values), value) - std::begin(values));
}
constexpr int kDefaultIdleGapMs = 20;
constexpr int kLongestIdleGapMs = 60000;
constexpr WPARAM kKeyA = 0x41;
constexpr WPARAM kKeyH = 0x48;
constexpr WPARAM kKeyF1 = 0x70;
}  // namespace

MainWindow::MainWindow()
    : CDialogEx(MainDialogTemplate()),
      m_settings(platform::SettingsFilePath(g_strAppDir, u"Sorvane.ini")),
      m_filterDialog(this),
      m_receiver(*this,
                 [this](std::function<void()> task) {
                   if (DialogWindow* window = Window()) window->PostTask(std::move(task));
                 }),
      m_sender(*this,
               [this](std::function<void()> task) {
                 if (DialogWindow* window = Window()) window->PostTask(std::move(task));
               }),
      m_commands(*this, m_sender),
      m_connection(*this, PortReader::Sink{[this](std::span<const std::uint8_t> chunk) { m_receiver.Receive(chunk); },
                                           [this] { m_receiver.HandOverDone(); }, {}}) {}

// The port closes while every part is still there to hear of it.
MainWindow::~MainWindow() { m_connection.Close(); }

const MessageMap& MainWindow::GetMessageMap() const {
  using W = MainWindow;
  static const MessageMap map = {
      // Connection
      OnNotifyCall<W>(BN_CLICKED, IDC_REFRESH, [](W& w) { w.m_connection.RefreshClicked(); }),
      OnNotifyCall<W>(BN_CLICKED, IDC_OPEN, [](W& w) { w.m_connection.OpenClicked(); }),
      OnNotifyCall<W>(CBN_DROPDOWN, IDC_PORT, [](W& w) { w.m_connection.RefreshClicked(); }),
      OnNotifyCall<W>(CBN_SELCHANGE, IDC_FLOW, [](W& w) { w.m_connection.FlowControlPicked(); }),
      OnNotifyCall<W>(BN_CLICKED, IDC_DTR,
                      [](W& w) {
                        w.m_connection.DtrClicked();
                        w.m_settings.SaveKey(u"DTR", Flag(w.OutputLinesChecked().dtr));
                      }),
      OnNotifyCall<W>(BN_CLICKED, IDC_RTS,
                      [](W& w) {
                        w.m_connection.RtsClicked();
                        w.m_settings.SaveKey(u"RTS", Flag(w.OutputLinesChecked().rts));
                      }),
      OnNotifyCall<W>(BN_CLICKED, IDC_BREAK, [](W& w) { w.m_sender.BreakClicked(); }),
      OnNotifyCall<W>(BN_CLICKED, IDC_RECONNECT,
                      [](W& w) { w.m_settings.SaveKey(u"Reconnect", Flag(w.ReconnectChecked())); }),
      OnMessage(WM_CLOSE, &W::OnClose),
      // Receive
      OnNotifyCall<W>(BN_CLICKED, IDC_RX_CLEAR, [](W& w) { w.m_receiver.ClearReceive(); }),
      OnNotifyCall<W>(BN_CLICKED, IDC_RX_PAUSE, [](W& w) { w.m_receiver.PauseClicked(); }),
      OnNotifyCall<W>(BN_CLICKED, IDC_RX_SAVE, [](W& w) { w.m_receiver.SaveClicked(); }),
      OnNotifyCall<W>(BN_CLICKED, IDC_RX_HEX, [](W& w) { w.m_receiver.HexClicked(); }),
      OnNotifyCall<W>(BN_CLICKED, IDC_FILTER_SET, [](W& w) { w.m_receiver.FilterSetClicked(); }),
      OnNotifyCall<W>(BN_CLICKED, IDC_RX_FILTER, [](W& w) { w.m_receiver.FilterClicked(); }),
      OnNotifyCall<W>(CBN_SELCHANGE, IDC_ENCODING,
                      [](W& w) {
                        w.m_settings.SaveKey(u"Encoding", w.EncodingChosen().name);
                        w.m_receiver.EncodingPicked();
                        w.m_sender.UpdateChecksum();
                      }),
      OnNotifyCall<W>(BN_CLICKED, IDC_RX_HEXDUMP,
                      [](W& w) {
                        w.m_settings.SaveKey(u"HexDump", Flag(w.HexDumpChecked()));
                        w.m_receiver.HexDumpClicked();
                      }),
      // View and log
      OnNotify(BN_CLICKED, IDC_RX_TIMESTAMP, &W::SaveViewOptions),
      OnNotify(EN_KILLFOCUS, IDC_IDLE_GAP, &W::SaveViewOptions),
      OnNotify(BN_CLICKED, IDC_SHOW_SENT, &W::SaveViewOptions),
      OnNotifyCall<W>(BN_CLICKED, IDC_LOG, [](W& w) { w.m_receiver.LogClicked(); }),
      // Send
      OnTimerCall<W>([](W& w, UINT_PTR timerId) {
        w.m_sender.OnTimer(timerId);
        w.m_commands.OnTimer(timerId);
      }),
      OnNotifyCall<W>(BN_CLICKED, IDC_SEND, [](W& w) { w.m_sender.Send(); }),
      OnNotifyCall<W>(BN_CLICKED, IDC_TX_CLEAR, [](W& w) { w.m_sender.ClearSendBox(); }),
      OnNotify(BN_CLICKED, IDC_COUNT_CLEAR, &W::ClearCounts),
      OnNotifyCall<W>(BN_CLICKED, IDC_TX_AUTOSEND, [](W& w) { w.m_sender.AutoSendClicked(); }),
      OnNotifyCall<W>(BN_CLICKED, IDC_TX_HEX, [](W& w) { w.m_sender.HexClicked(); }),
      OnNotifyCall<W>(EN_CHANGE, IDC_TX_EDIT, [](W& w) { w.m_sender.UpdateChecksum(); }),
      OnNotifyCall<W>(CBN_SELCHANGE, IDC_LINEEND, [](W& w) { w.SaveFrameEnding(); }),
      OnNotifyCall<W>(CBN_SELCHANGE, IDC_APPEND,
                      [](W& w) {
                        w.SaveFrameEnding();
                        w.m_sender.UpdateChecksum();
                      }),
      OnNotifyCall<W>(EN_KILLFOCUS, IDC_TX_INTERVAL, [](W& w) { w.m_sender.IntervalLeft(); }),
      OnNotifyCall<W>(EN_SETFOCUS, IDC_TX_EDIT, [](W& w) { w.m_sender.SendBoxFocused(true); }),
      OnNotifyCall<W>(EN_KILLFOCUS, IDC_TX_EDIT, [](W& w) { w.m_sender.SendBoxFocused(false); }),
      OnNotifyCall<W>(BN_CLICKED, IDC_SEND_FILE, [](W& w) { w.m_sender.SendFileClicked(); }),
      OnNotifyCall<W>(CBN_SELCHANGE, IDC_FILE_HISTORY, [](W& w) { w.m_sender.FileHistoryPicked(); }),
      OnDropFilesCall<W>([](W& w, const DroppedFiles& files) { w.m_sender.FilesDropped(files.paths); }),
      // Commands
      OnNotifyCall<W>(LBN_SELCHANGE, IDC_CMD_LIST, [](W& w) { w.m_commands.SelectionChanged(); }),
      OnNotifyCall<W>(LBN_DBLCLK, IDC_CMD_LIST, [](W& w) { w.m_commands.SendSelected(); }),
      OnNotifyCall<W>(BN_CLICKED, IDC_CMD_SEND, [](W& w) { w.m_commands.SendSelected(); }),
      OnNotifyCall<W>(BN_CLICKED, IDC_CMD_UP, [](W& w) { w.m_commands.MoveClicked(-1); }),
      OnNotifyCall<W>(BN_CLICKED, IDC_CMD_DOWN, [](W& w) { w.m_commands.MoveClicked(1); }),
      OnNotifyCall<W>(BN_CLICKED, IDC_CMD_REMOVE, [](W& w) { w.m_commands.RemoveClicked(); }),
      OnNotifyCall<W>(BN_CLICKED, IDC_CMD_ADD, [](W& w) { w.m_commands.AddClicked(); }),
      OnNotifyCall<W>(BN_CLICKED, IDC_CMD_APPLY, [](W& w) { w.m_commands.ApplyClicked(); }),
      OnNotifyCall<W>(BN_CLICKED, IDC_CMD_RUN, [](W& w) { w.m_commands.RunClicked(); }),
      OnNotifyCall<W>(BN_CLICKED, IDC_CMD_STOP, [](W& w) { w.m_commands.StopClicked(); }),
      OnNotifyCall<W>(BN_CLICKED, IDC_CMD_IMPORT, [](W& w) { w.m_commands.ImportClicked(); }),
      OnNotifyCall<W>(BN_CLICKED, IDC_CMD_EXPORT, [](W& w) { w.m_commands.ExportClicked(); }),
  };
  return map;
}

void MainWindow::StartWith(std::u16string port, bool open) {
  m_startPort = std::move(port);
  m_openAtStart = open;
}

BOOL MainWindow::OnInitDialog() {
  CDialogEx::OnInitDialog();
  m_language.Apply(*this);
  SetWindowText(Text(IDS_TITLE));
  CheckDlgButton(IDC_RX_AUTOCLEAR, BST_CHECKED);
  CheckDlgButton(IDC_TX_IGNORESPACE, BST_CHECKED);
  CheckDlgButton(IDC_RX_ADDSPACE, BST_CHECKED);
  SpinSetRange(IDC_TX_INTERVAL_SPIN, 0, 0x7FFF);
  SpinSetRange(IDC_IDLE_GAP_SPIN, 0, kLongestIdleGapMs);
  EnableItem(IDC_RX_PAUSE, false);
  FillListsOfNames();
  LoadSettings();
  m_commands.Load(m_settings.Path().parent_path() / "Commands.ini");
  m_connection.RefreshClicked();
  m_connection.StartWatchingPorts();
  // As typed, also when the list lacks it: a pseudo-terminal or a by-id link is never listed.
  if (!m_startPort.empty()) SetDlgItemText(IDC_PORT, m_startPort);
  // Once the window shows, so that a failure's message box has the window behind it.
  if (m_openAtStart) {
    if (DialogWindow* window = Window()) {
      window->PostTask([this] {
        if (!m_connection.IsOpen()) m_connection.OpenClicked();
      });
    }
  }
  m_receiver.Attach();
  m_sender.UpdateChecksum();
  return TRUE;
}

void MainWindow::OnClose() {
  m_connection.Close();
  DefaultClose();
}

void MainWindow::ClearCounts() {
  m_receiver.ClearCount();
  m_sender.ClearCount();
}

// The send box behaves like a terminal line while the port is open. Keys never go through
// the dialog manager, so Enter never presses the default button and Esc never closes the
// window; Tab is still the window's and moves the focus.
BOOL MainWindow::PreTranslateMessage(KeyMessage& msg) {
  // Esc stops the files going out and the sequence, whichever control has the focus.
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE && (m_sender.IsSendingFile() || m_commands.SequenceRunning())) {
    m_sender.CancelFileSends();
    m_commands.StopClicked();
    return TRUE;
  }
  // F1..F12 send the first twelve commands, whichever control has the focus. F10 comes as a
  // system key on Windows; Alt with a function key stays the system's (Alt+F4).
  const bool plainKey = msg.message == WM_KEYDOWN || (msg.message == WM_SYSKEYDOWN && !IsKeyDown(VK_MENU));
  if (plainKey && msg.wParam >= kKeyF1 && msg.wParam < kKeyF1 + CommandPanel::kFunctionKeys &&
      m_commands.FunctionKey(static_cast<int>(msg.wParam - kKeyF1) + 1)) {
    return TRUE;
  }
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && GetFocusId() == IDC_CMD_LIST) {
    m_commands.SendSelected();
    return TRUE;
  }
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && m_connection.IsOpen() && GetFocusId() == IDC_TX_EDIT) {
    const bool keepText = IsKeyDown(VK_CONTROL);
    m_sender.Send();
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

// The boxes are set here; their click handlers do not run, their parts follow.
void MainWindow::SwitchHexModes() {
  const bool hex = IsDlgButtonChecked(IDC_RX_HEX) != BST_CHECKED;
  CheckDlgButton(IDC_RX_HEX, hex ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(IDC_TX_HEX, hex ? BST_CHECKED : BST_UNCHECKED);
  m_receiver.HexClicked();
  m_sender.HexClicked();
}

void MainWindow::LoadSettings() {
  const StoredSettings stored = m_settings.Load();
  ReportUnreadableSettings();
  SetDlgItemText(IDC_PORT, stored.port);
  SetDlgItemText(IDC_BAUD, stored.baudRate);
  SetDlgItemText(IDC_PARITY, stored.parity);
  SetDlgItemText(IDC_DATABITS, stored.dataBits);
  SetDlgItemText(IDC_STOPBITS, stored.stopBits);
  SetDlgItemText(IDC_TX_INTERVAL, stored.interval);
  m_receiver.SetStoredFilter(stored.filter, stored.keepOnly);
  LoadLineControl();
  LoadFrameEnding();
  LoadViewOptions();
  m_folder = stored.folder;
  if (m_folder.empty()) {
    m_folder = g_strAppDir;
    SaveSettings();
  }
}

// A value the file should not hold gives the default, as the other keys do.
void MainWindow::LoadLineControl() {
  const auto flow = FlowControlNamed(m_settings.LoadKey(u"FlowControl", u"None")).value_or(platform::FlowControl::None);
  ComboSetCurSel(IDC_FLOW, IndexOf(flow, kFlowControls));
  CheckDlgButton(IDC_DTR, m_settings.LoadKey(u"DTR", u"1") != u"0" ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(IDC_RTS, m_settings.LoadKey(u"RTS", u"1") != u"0" ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(IDC_RECONNECT, m_settings.LoadKey(u"Reconnect", u"0") == u"1" ? BST_CHECKED : BST_UNCHECKED);
  m_connection.FlowControlPicked();
}

// The stored names stay English; the lists show their first entry ("None", "System") in the
// window's language.
void MainWindow::FillListsOfNames() {
  const auto fill = [this](int id, const auto& values, auto nameOf, int firstName, bool followsSendBox = false) {
    ComboResetContent(id);
    if (followsSendBox) ComboAddString(id, Text(IDS_AS_SEND_BOX));
    for (const auto value : values) {
      ComboAddString(id, value == values[0] ? Text(firstName) : std::u16string(nameOf(value)));
    }
  };
  fill(IDC_FLOW, kFlowControls, &FlowControlName, IDS_NONE);
  fill(IDC_LINEEND, kLineEnds, &LineEndName, IDS_NONE);
  fill(IDC_APPEND, kAppendChecks, &AppendCheckName, IDS_NONE);
  // A command's own lists begin with following the send box's.
  fill(IDC_CMD_LINEEND, kLineEnds, &LineEndName, IDS_NONE, true);
  fill(IDC_CMD_APPEND, kAppendChecks, &AppendCheckName, IDS_NONE, true);
  fill(IDC_ENCODING, platform::kTextEncodings, [](const platform::TextEncoding& e) { return e.name; }, IDS_SYSTEM);
}

void MainWindow::LoadViewOptions() {
  ComboSetCurSel(IDC_ENCODING,
                 IndexOf(platform::TextEncodingNamed(m_settings.LoadKey(u"Encoding", u"System")), platform::kTextEncodings));
  CheckDlgButton(IDC_RX_HEXDUMP, m_settings.LoadKey(u"HexDump", u"0") == u"1" ? BST_CHECKED : BST_UNCHECKED);
  m_receiver.EncodingPicked();
  EnableItem(IDC_RX_FILTER, !HexDumpChecked());
  LoadStampOptions();
}

void MainWindow::LoadFrameEnding() {
  const LineEnd lineEnd = LineEndNamed(m_settings.LoadKey(u"LineEnd", u"None")).value_or(LineEnd::None);
  const AppendCheck check = AppendCheckNamed(m_settings.LoadKey(u"AppendCheck", u"None")).value_or(AppendCheck::None);
  ComboSetCurSel(IDC_LINEEND, IndexOf(lineEnd, kLineEnds));
  ComboSetCurSel(IDC_APPEND, IndexOf(check, kAppendChecks));
}

void MainWindow::SaveFrameEnding() {
  const FrameEnding ending = FrameEndingChosen();
  m_settings.SaveKey(u"LineEnd", LineEndName(ending.lineEnd));
  m_settings.SaveKey(u"AppendCheck", AppendCheckName(ending.check));
}

void MainWindow::SaveLineControl() {
  const platform::OutputLines lines = OutputLinesChecked();
  m_settings.SaveKey(u"FlowControl", FlowControlName(LineTexts().flowControl));
  m_settings.SaveKey(u"DTR", Flag(lines.dtr));
  m_settings.SaveKey(u"RTS", Flag(lines.rts));
}

void MainWindow::LoadStampOptions() {
  CheckDlgButton(IDC_RX_TIMESTAMP, m_settings.LoadKey(u"Timestamp", u"0") == u"1" ? BST_CHECKED : BST_UNCHECKED);
  bool ok = false;
  const int gap = text::ParseInt(m_settings.LoadKey(u"IdleGap", u"20"), &ok);
  SetDlgItemText(IDC_IDLE_GAP, text::Decimal(ok && gap >= 0 && gap <= kLongestIdleGapMs ? gap : kDefaultIdleGapMs));
  CheckDlgButton(IDC_SHOW_SENT, m_settings.LoadKey(u"ShowSent", u"0") == u"1" ? BST_CHECKED : BST_UNCHECKED);
  m_logFormat = m_settings.LoadKey(u"LogFormat", u"Raw") == u"Text" ? 1 : 0;
}

void MainWindow::SaveViewOptions() {
  m_settings.SaveKey(u"Timestamp", Flag(TimestampChecked()));
  m_settings.SaveKey(u"IdleGap", text::Decimal(IdleGapValue()));
  m_settings.SaveKey(u"ShowSent", Flag(ShowSentChecked()));
  m_settings.SaveKey(u"LogFormat", m_logFormat == 1 ? u"Text" : u"Raw");
}

// Once per start: the user must know that what they change now will not be kept.
void MainWindow::ReportUnreadableSettings() {
  const platform::ProfileProblem problem = m_settings.Problem();
  if (problem == platform::ProfileProblem::None || m_reportedUnreadableSettings) return;
  m_reportedUnreadableSettings = true;
  const int reason = problem == platform::ProfileProblem::NotAFile   ? IDS_NOT_A_FILE
                     : problem == platform::ProfileProblem::TooLarge ? IDS_TOO_LARGE
                     : problem == platform::ProfileProblem::NotText  ? IDS_NOT_TEXT
                                                                     : IDS_CANNOT_OPEN;
  const std::u16string path = m_settings.Path().u16string();
  ShowMessage(text::FormatOne(Text(IDS_SETTINGS_UNREADABLE), path) + u"\n" + Text(reason));
}

void MainWindow::SaveSettings() {
  StoredSettings stored;
  stored.port = GetDlgItemText(IDC_PORT);
  stored.baudRate = GetDlgItemText(IDC_BAUD);
  stored.parity = GetDlgItemText(IDC_PARITY);
  stored.dataBits = GetDlgItemText(IDC_DATABITS);
  stored.stopBits = GetDlgItemText(IDC_STOPBITS);
  stored.interval = GetDlgItemText(IDC_TX_INTERVAL);
  stored.folder = m_folder;
  stored.filter = m_receiver.FilterText();
  stored.keepOnly = m_receiver.KeepOnly();
  m_settings.Save(stored);
}

void MainWindow::SaveInterval() { m_settings.SaveInterval(GetDlgItemText(IDC_TX_INTERVAL)); }

void MainWindow::ShowMessage(std::u16string_view text) { MessageBox(text); }

std::u16string MainWindow::Text(int stringId) { return m_language.Text(stringId); }

std::optional<FileDialogResult> MainWindow::AskForFile(const FileDialogRequest& request) {
  return ShowFileDialog(request);
}

void MainWindow::RememberFolder(std::u16string folder) {
  m_folder = std::move(folder);
  SaveSettings();
}

// --- ConnectionView ---

std::u16string MainWindow::PortText() const { return GetDlgItemText(IDC_PORT); }
void MainWindow::SetPortText(std::u16string_view text) { SetDlgItemText(IDC_PORT, text); }
bool MainWindow::ReconnectChecked() const { return IsDlgButtonChecked(IDC_RECONNECT) == BST_CHECKED; }
void MainWindow::ShowPortStatus(std::u16string_view text) { SetDlgItemText(IDC_PORT_STATUS, text); }

LineSettingTexts MainWindow::LineTexts() const {
  return LineSettingTexts{GetDlgItemInt(IDC_BAUD), GetDlgItemText(IDC_PARITY), GetDlgItemText(IDC_DATABITS),
                          GetDlgItemText(IDC_STOPBITS), Picked(ComboGetCurSel(IDC_FLOW), kFlowControls)};
}

platform::OutputLines MainWindow::OutputLinesChecked() const {
  return {IsDlgButtonChecked(IDC_DTR) == BST_CHECKED, IsDlgButtonChecked(IDC_RTS) == BST_CHECKED};
}

void MainWindow::SetPortEntries(const std::vector<std::u16string>& entries) {
  ComboResetContent(IDC_PORT);
  for (const auto& entry : entries) ComboAddString(IDC_PORT, entry);
}

bool MainWindow::SelectPortEntry(std::u16string_view text) { return ComboSelectString(IDC_PORT, 0, text) != CB_ERR; }

void MainWindow::SelectFirstPortEntry() { ComboSetCurSel(IDC_PORT, 0); }

void MainWindow::ShowPortOpen(bool open, std::u16string_view buttonCaption) {
  SetDlgItemText(IDC_OPEN, buttonCaption);
  for (const int id : kLineSettingControls) EnableItem(id, !open);
  EnableItem(IDC_RX_PAUSE, open);
  EnableItem(IDC_BREAK, open);
}

void MainWindow::EnableRtsBox(bool enable) { EnableItem(IDC_RTS, enable); }

void MainWindow::ShowInputLines(const std::optional<platform::InputLines>& lines) {
  const bool shown = lines.has_value();
  const platform::InputLines state = lines.value_or(platform::InputLines{});
  const bool asserted[] = {state.cts, state.dsr, state.dcd, state.ri};
  for (std::size_t i = 0; i < std::size(kInputLineIndicators); ++i) {
    CheckDlgButton(kInputLineIndicators[i], asserted[i] ? BST_CHECKED : BST_UNCHECKED);
    EnableItem(kInputLineIndicators[i], shown);
  }
}

std::unique_ptr<platform::Waker> MainWindow::CreateWaker(std::function<void()> handler) {
  return Window()->CreateWaker(std::move(handler));
}

void MainWindow::PortOpened(const std::shared_ptr<platform::CommPort>& port) {
  m_receiver.PortOpened();
  m_sender.SetPort(port);
  SaveSettings();
  SaveLineControl();
}

void MainWindow::PortClosed() {
  m_commands.PortClosed();
  m_sender.SetPort(nullptr);
  m_receiver.DropCarry();
}

// --- ReceiveView ---

bool MainWindow::AutoClearChecked() const { return IsDlgButtonChecked(IDC_RX_AUTOCLEAR) == BST_CHECKED; }
bool MainWindow::ReceiveHexChecked() const { return IsDlgButtonChecked(IDC_RX_HEX) == BST_CHECKED; }
bool MainWindow::AddSpaceChecked() const { return IsDlgButtonChecked(IDC_RX_ADDSPACE) == BST_CHECKED; }
void MainWindow::EnableAddSpace(bool enable) { EnableItem(IDC_RX_ADDSPACE, enable); }
bool MainWindow::FilterChecked() const { return IsDlgButtonChecked(IDC_RX_FILTER) == BST_CHECKED; }
void MainWindow::CheckFilter(bool checked) { CheckDlgButton(IDC_RX_FILTER, checked ? BST_CHECKED : BST_UNCHECKED); }
void MainWindow::EnableFilterBox(bool enable) { EnableItem(IDC_RX_FILTER, enable); }
bool MainWindow::HexDumpChecked() const { return IsDlgButtonChecked(IDC_RX_HEXDUMP) == BST_CHECKED; }

platform::TextEncoding MainWindow::EncodingChosen() const {
  return Picked(ComboGetCurSel(IDC_ENCODING), platform::kTextEncodings);
}

void MainWindow::AttachReceiveText(const std::u16string* text) { Window()->EditAttachText(IDC_RX_EDIT, text); }

void MainWindow::AttachSentSpans(const std::vector<TextSpan>* spans) { Window()->EditAttachMarks(IDC_RX_EDIT, spans); }

void MainWindow::ReceiveTextChanged(std::size_t firstChange) {
  if (DialogWindow* window = Window()) window->EditTextChanged(IDC_RX_EDIT, firstChange);
}

void MainWindow::ScrollReceiveBoxToEnd() {
  const int length = GetWindowTextLength(IDC_RX_EDIT);
  EditSetSel(IDC_RX_EDIT, length, length);
  EditScrollCaret(IDC_RX_EDIT);
}

std::u16string MainWindow::ReceiveBoxText() const { return GetDlgItemText(IDC_RX_EDIT); }
int MainWindow::ReceiveBoxTextWidth() const { return Window()->EditTextAreaWidth(IDC_RX_EDIT); }
std::function<int(char16_t)> MainWindow::ReceiveBoxCharWidth() const { return Window()->EditCharWidth(IDC_RX_EDIT); }
void MainWindow::ShowRxCount(std::u16string_view text) { SetDlgItemText(IDC_RX_COUNT, text); }
void MainWindow::ShowLineCount(std::u16string_view text) { SetDlgItemText(IDC_GRP_RX, text); }
void MainWindow::ShowPauseCaption(std::u16string_view text) { SetDlgItemText(IDC_RX_PAUSE, text); }
bool MainWindow::TimestampChecked() const { return IsDlgButtonChecked(IDC_RX_TIMESTAMP) == BST_CHECKED; }
bool MainWindow::ShowSentChecked() const { return IsDlgButtonChecked(IDC_SHOW_SENT) == BST_CHECKED; }

// Read as the box shows it; what it cannot hold (nothing, too much) is the default.
int MainWindow::IdleGapValue() const {
  BOOL read = FALSE;
  const int gap = GetDlgItemInt(IDC_IDLE_GAP, &read);
  return read && gap >= 0 && gap <= kLongestIdleGapMs ? gap : kDefaultIdleGapMs;
}

void MainWindow::ShowLogState(std::u16string_view buttonCaption, std::u16string_view fileText) {
  SetDlgItemText(IDC_LOG, buttonCaption);
  SetDlgItemText(IDC_LOG_FILE, fileText);
}

void MainWindow::RememberLogFormat(int format) {
  m_logFormat = format == 1 ? 1 : 0;
  SaveViewOptions();
}

bool MainWindow::RunFilterDialog(std::u16string& conditions, bool& keepOnly) {
  return m_filterDialog.Run(conditions, keepOnly);
}

// --- SenderView ---

std::u16string MainWindow::SendText() const { return GetDlgItemText(IDC_TX_EDIT); }
bool MainWindow::SendHexChecked() const { return IsDlgButtonChecked(IDC_TX_HEX) == BST_CHECKED; }
void MainWindow::SetSendText(std::u16string_view text) { SetDlgItemText(IDC_TX_EDIT, text); }
void MainWindow::GetSendSelection(int& start, int& end) const { EditGetSel(IDC_TX_EDIT, start, end); }
bool MainWindow::IgnoreSpaceChecked() const { return IsDlgButtonChecked(IDC_TX_IGNORESPACE) == BST_CHECKED; }
void MainWindow::EnableIgnoreSpace(bool enable) { EnableItem(IDC_TX_IGNORESPACE, enable); }
bool MainWindow::AutoSendChecked() const { return IsDlgButtonChecked(IDC_TX_AUTOSEND) == BST_CHECKED; }
int MainWindow::IntervalValue() const { return GetDlgItemInt(IDC_TX_INTERVAL); }
void MainWindow::ShowTxCount(std::u16string_view text) { SetDlgItemText(IDC_TX_COUNT, text); }
void MainWindow::ShowChecksum(std::u16string_view text) { SetDlgItemText(IDC_CHECKSUM, text); }
void MainWindow::ShowAppendedCheck(std::u16string_view text) { SetDlgItemText(IDC_APPEND_VALUE, text); }

FrameEnding MainWindow::FrameEndingChosen() const {
  return {Picked(ComboGetCurSel(IDC_LINEEND), kLineEnds), Picked(ComboGetCurSel(IDC_APPEND), kAppendChecks)};
}
void MainWindow::ShowSendFileCaption(std::u16string_view text) { SetDlgItemText(IDC_SEND_FILE, text); }

void MainWindow::ShowFileHistory(const std::vector<std::u16string>& names) {
  ComboResetContent(IDC_FILE_HISTORY);
  for (const auto& name : names) ComboAddString(IDC_FILE_HISTORY, name);
  ComboSetCurSel(IDC_FILE_HISTORY, 0);
}

int MainWindow::FileHistorySelection() const { return ComboGetCurSel(IDC_FILE_HISTORY); }

bool MainWindow::ClosePortAfterFailure() { return m_connection.WriteFailed(); }

std::u16string MainWindow::PortWaitedFor() const {
  return m_connection.IsWaiting() ? m_connection.PortOpened() : std::u16string();
}

// --- CommandsView ---

void MainWindow::ShowCommandItems(const std::vector<std::u16string>& items) {
  ListResetContent(IDC_CMD_LIST);
  for (const auto& item : items) ListAddString(IDC_CMD_LIST, item);
}

void MainWindow::EnableCommandActions(bool selected, bool canMoveUp, bool canMoveDown) {
  for (const int id : {IDC_CMD_SEND, IDC_CMD_REMOVE, IDC_CMD_APPLY}) EnableItem(id, selected);
  EnableItem(IDC_CMD_UP, canMoveUp);
  EnableItem(IDC_CMD_DOWN, canMoveDown);
}

void MainWindow::ShowSequenceSettings(int delayMs, int repeat) {
  SetDlgItemText(IDC_CMD_DELAY, text::Decimal(delayMs));
  SetDlgItemText(IDC_CMD_REPEAT, text::Decimal(repeat));
}

void MainWindow::ShowSequenceRunning(bool running) {
  EnableItem(IDC_CMD_RUN, !running);
  EnableItem(IDC_CMD_STOP, running);
}
