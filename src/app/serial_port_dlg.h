#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/dialog.h"
#include "platform/multibyte_decoder.h"
#include "receive/display_line_counter.h"
#include "receive/receive_filter.h"
#include "send/serial_port_send.h"
#include "serial/serial_port.h"

class Filter;

// The main window and the hub of every handler. The handlers live beside the behaviour they
// belong to: app/ (start, close, settings, language, keyboard), serial/ (open, close,
// refresh), receive/ and send/.
class CSerialPortDlg : public CDialogEx {
 public:
  CSerialPortDlg();
  ~CSerialPortDlg() override;

  BOOL OnInitDialog() override;
  void DoDataExchange(DataExchange& dx) override;
  const MessageMap& GetMessageMap() const override;

  // Settings file.
  void LoadSettings();
  void SaveSettings();
  void WriteIntervalSetting();
  std::filesystem::path SettingsPath() const;

  // Language: loads English string `id` of the current language into m_strTemp.
  void ApplyLanguage();
  const std::u16string& LoadString(int id);

  // Connection controls.
  void OnBnClickedOpen();
  void OnBnClickedRefresh();
  void OnCbnDropdownPort();
  bool IsPortOpen();  // the Open/Close caption shows Close

  void OnClose();

  // Receive display, filter and save.
  LRESULT OnPortRxData(WPARAM wParam, LPARAM lParam);
  void OnBnClickedClearReceive();
  void OnBnClickedPause();
  void OnBnClickedRxHex();
  void OnBnClickedFilterSet();
  void OnBnClickedFilter();
  void RebuildFilterList();
  void OnBnClickedSaveTxt();
  // The receive text changed from `firstChange` on: the box, the line count and Auto Clear's
  // view of it follow.
  void ReceiveTextChanged(std::size_t firstChange);
  // A character cut by a chunk boundary is carried to the next chunk; a change of the Hex
  // box or of the port drops it.
  void DropReceiveCarry();

  // --- Send (send/) ---
  // Keyboard: Enter, Ctrl+Enter and Alt+Enter in the send box, Ctrl+A, Ctrl+H; nothing goes to
  // the dialog manager.
  BOOL PreTranslateMessage(KeyMessage& msg) override;
  void OnBnClickedCountClear();
  void OnBnClickedSend();
  void OnBnClickedClearSend();
  void OnBnClickedTxHex();
  LRESULT OnPortSent(WPARAM wParam, LPARAM lParam);
  void OnTimer(UINT_PTR timerId);
  void OnBnClickedAutoSend();
  void OnEnKillfocusInterval();
  void OnEnSetfocusTxEdit();
  void OnEnKillfocusTxEdit();
  void UpdateChecksum();

  // --- Send file (send/) ---
  void OnBnClickedSendFile();
  // Opens the file and checks its mark at once, then queues it for the send thread when the
  // port is open; the file enters the history either way.
  void SendFile(std::u16string name, std::u16string path);
  void OnCbnSelchangeFileHistory();
  void OnDropFiles(const DroppedFiles& files);
  LRESULT OnPortFileProgress(WPARAM wParam, LPARAM lParam);
  LRESULT OnPortFileDone(WPARAM wParam, LPARAM lParam);
  bool IsSendingFile() const;
  // Stops the file being sent and those queued behind it.
  void CancelFileSends();

  Filter* m_pFilterDlg = nullptr;
  std::shared_ptr<const std::vector<std::uint8_t>> m_strSendBuf;
  std::u16string m_strTemp;
  std::u16string m_strPath;
  std::u16string m_strFilter;
  std::u16string m_strReceive;
  bool m_bOnlyReserve = false;
  bool m_bFilter = false;
  std::vector<std::u16string> m_vecFilter;
  const int m_hIcon;  // icon group shown as the window's icon by the backend
  int m_nLangBase = 0;
  std::uint8_t m_byRxBuf[504];
  std::deque<std::u16string> m_dqFilePaths;
  std::deque<std::u16string> m_dqFileNames;
  CSerialPort m_serialPort;
  SerialPortSend m_sendThread;
  std::int64_t m_nRxCount = 0;
  std::uint64_t m_nTxCount = 0;

 private:
  void SetConnectionControls(bool open);

  ReceiveFilter m_rxFilter;
  std::unique_ptr<DisplayLineCounter> m_rxLines;  // made once the box exists
  platform::MultiByteDecoder m_rxDecoder;

  // Send
  UINT AutoSendInterval() const;
  void SwitchHexModes();

  // Send file
  void AddToFileHistory(const std::u16string& name, const std::u16string& path);
  // The Send File button shows how far the file going out has got, or its caption.
  void ShowFileProgress();
  // The Send Fail path: closes the port, lists the ports again and says so.
  void ReportSendFail();
  std::deque<std::shared_ptr<FileSendJob>> m_fileJobs;  // queued and not yet reported done, in order
};
