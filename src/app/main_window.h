#pragma once

#include <memory>
#include <string>

#include "app/language.h"
#include "app/settings.h"
#include "res/resource.h"
#include "platform/dialog.h"
#include "receive/filter_dialog.h"
#include "receive/receive_pipeline.h"
#include "receive/receive_view.h"
#include "send/command_panel.h"
#include "send/commands_view.h"
#include "send/sender.h"
#include "send/sender_view.h"
#include "serial/connection.h"
#include "serial/connection_view.h"

// The main window: its controls, wired to the three parts that hold the behaviour (the
// connection, the receive pipeline, the sender), each of which sees the window through its
// own view. The window keeps the language and the settings file, and the keyboard.
class MainWindow : public CDialogEx,
                   private ConnectionView,
                   private ReceiveView,
                   private SenderView,
                   private CommandsView {
 public:
  MainWindow();
  ~MainWindow() override;

  // Before the window is made: `port` goes into the port box instead of the stored one (when
  // not empty), and `open` opens the port once the window shows.
  void StartWith(std::u16string port, bool open);
  BOOL OnInitDialog() override;
  // Enter, Ctrl+Enter and Alt+Enter in the send box, Ctrl+A, Ctrl+H, Esc during a file send;
  // nothing goes to the dialog manager.
  BOOL PreTranslateMessage(KeyMessage& msg) override;
  const MessageMap& GetMessageMap() const override;

  Connection& GetConnection() { return m_connection; }
  ReceivePipeline& GetReceiver() { return m_receiver; }
  Sender& GetSender() { return m_sender; }
  CommandPanel& GetCommands() { return m_commands; }
  const std::u16string& Folder() const { return m_folder; }

 private:
  void OnClose();
  void ClearCounts();
  // Ctrl+H: both Hex boxes follow the receive one.
  void SwitchHexModes();
  void LoadSettings();
  void LoadLineControl();
  void FillListsOfNames();
  void LoadFrameEnding();
  void SaveFrameEnding();
  // Encoding and HexDump, after the other keys.
  void LoadViewOptions();
  // FlowControl, DTR and RTS, after the other keys: on open, and each line when clicked.
  void SaveLineControl();
  // Time stamp, IdleGap, Show sent and the log's format, after the other keys.
  void LoadStampOptions();
  void SaveViewOptions();
  void ReportUnreadableSettings();
  void SaveSettings() override;

  // Shared by the views.
  void ShowMessage(std::u16string_view text) override;
  std::u16string Text(int stringId) override;
  std::optional<FileDialogResult> AskForFile(const FileDialogRequest& request) override;
  std::u16string RememberedFolder() const override { return m_folder; }
  void RememberFolder(std::u16string folder) override;
  platform::TextEncoding EncodingChosen() const override;

  // ConnectionView
  std::u16string PortText() const override;
  void SetPortText(std::u16string_view text) override;
  bool ReconnectChecked() const override;
  bool ReceivePaused() const override { return m_receiver.Paused(); }
  void ShowPortStatus(std::u16string_view text) override;
  LineSettingTexts LineTexts() const override;
  platform::OutputLines OutputLinesChecked() const override;
  void SetPortEntries(const std::vector<std::u16string>& entries) override;
  bool SelectPortEntry(std::u16string_view text) override;
  void SelectFirstPortEntry() override;
  void ShowPortOpen(bool open, std::u16string_view buttonCaption) override;
  void EnableRtsBox(bool enable) override;
  void ShowInputLines(const std::optional<platform::InputLines>& lines) override;
  std::unique_ptr<platform::Waker> CreateWaker(std::function<void()> handler) override;
  void PortOpened(const std::shared_ptr<platform::CommPort>& port) override;
  void PortClosed() override;

  // ReceiveView
  bool AutoClearChecked() const override;
  bool ReceiveHexChecked() const override;
  bool AddSpaceChecked() const override;
  void EnableAddSpace(bool enable) override;
  bool FilterChecked() const override;
  void CheckFilter(bool checked) override;
  void EnableFilterBox(bool enable) override;
  bool HexDumpChecked() const override;
  void AttachReceiveText(const std::u16string* text) override;
  void ReceiveTextChanged(std::size_t firstChange) override;
  void AttachSentSpans(const std::vector<TextSpan>* spans) override;
  void ScrollReceiveBoxToEnd() override;
  std::u16string ReceiveBoxText() const override;
  int ReceiveBoxTextWidth() const override;
  std::function<int(char16_t)> ReceiveBoxCharWidth() const override;
  void ShowRxCount(std::u16string_view text) override;
  void ShowLineCount(std::u16string_view text) override;
  void ShowPauseCaption(std::u16string_view text) override;
  bool TimestampChecked() const override;
  int IdleGapValue() const override;
  bool ShowSentChecked() const override;
  void ShowLogState(std::u16string_view buttonCaption, std::u16string_view fileText) override;
  int LogFormat() const override { return m_logFormat; }
  void RememberLogFormat(int format) override;
  bool RunFilterDialog(std::u16string& conditions, bool& keepOnly) override;
  void ReloadSettings() override { LoadSettings(); }
  void PauseReading(bool paused) override { m_connection.PauseReading(paused); }

  // SenderView
  std::u16string SendText() const override;
  bool SendHexChecked() const override;
  void SetSendText(std::u16string_view text) override;
  void GetSendSelection(int& start, int& end) const override;
  bool IgnoreSpaceChecked() const override;
  void EnableIgnoreSpace(bool enable) override;
  bool AutoSendChecked() const override;
  int IntervalValue() const override;
  void ShowTxCount(std::u16string_view text) override;
  void ShowSent(std::span<const std::uint8_t> bytes) override { m_receiver.Sent(bytes); }
  void ShowChecksum(std::u16string_view text) override;
  FrameEnding FrameEndingChosen() const override;
  void ShowAppendedCheck(std::u16string_view text) override;
  void ShowSendFileCaption(std::u16string_view text) override;
  void ShowFileHistory(const std::vector<std::u16string>& names) override;
  int FileHistorySelection() const override;
  void StartTimer(UINT_PTR timerId, UINT periodMs) override { SetTimer(timerId, periodMs); }
  void StopTimer(UINT_PTR timerId) override { KillTimer(timerId); }
  void SaveInterval() override;
  bool ClosePortAfterFailure() override;
  std::u16string PortWaitedFor() const override;

  // CommandsView
  void ShowCommandItems(const std::vector<std::u16string>& items) override;
  void SelectCommandItem(int index) override { ListSetCurSel(IDC_CMD_LIST, index); }
  int SelectedCommandItem() const override { return ListGetCurSel(IDC_CMD_LIST); }
  void EnableCommandActions(bool selected, bool canMoveUp, bool canMoveDown) override;
  std::u16string CommandNameTyped() const override { return GetDlgItemText(IDC_CMD_NAME); }
  void SetCommandName(std::u16string_view name) override { SetDlgItemText(IDC_CMD_NAME, name); }
  std::u16string CommandTextTyped() const override { return GetDlgItemText(IDC_CMD_TEXT); }
  void SetCommandText(std::u16string_view text) override { SetDlgItemText(IDC_CMD_TEXT, text); }
  bool CommandHexChecked() const override { return IsDlgButtonChecked(IDC_CMD_HEX) == BST_CHECKED; }
  void CheckCommandHex(bool hex) override { CheckDlgButton(IDC_CMD_HEX, hex ? BST_CHECKED : BST_UNCHECKED); }
  int CommandLineEndPicked() const override { return ComboGetCurSel(IDC_CMD_LINEEND); }
  void PickCommandLineEnd(int index) override { ComboSetCurSel(IDC_CMD_LINEEND, index); }
  int CommandAppendPicked() const override { return ComboGetCurSel(IDC_CMD_APPEND); }
  void PickCommandAppend(int index) override { ComboSetCurSel(IDC_CMD_APPEND, index); }
  int SequenceDelayTyped() const override { return GetDlgItemInt(IDC_CMD_DELAY); }
  int SequenceRepeatTyped() const override { return GetDlgItemInt(IDC_CMD_REPEAT); }
  void ShowSequenceSettings(int delayMs, int repeat) override;
  void ShowSequenceRunning(bool running) override;
  void ShowSequenceStatus(std::u16string_view text) override { SetDlgItemText(IDC_CMD_STATUS, text); }

  Language m_language;
  SettingsFile m_settings;
  std::u16string m_folder;  // the remembered folder, key Path
  int m_logFormat = 0;      // key LogFormat
  bool m_reportedUnreadableSettings = false;
  std::u16string m_startPort;
  bool m_openAtStart = false;
  FilterDialog m_filterDialog;
  ReceivePipeline m_receiver;
  Sender m_sender;
  CommandPanel m_commands;
  Connection m_connection;
};
