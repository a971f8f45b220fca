#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/dialog_window.h"
#include "platform/text_encoding.h"
#include "platform/wide_encoder.h"
#include "send/command.h"
#include "send/file_history.h"
#include "send/send_thread.h"

class SenderView;
struct FileSendJob;

// Everything that goes out: the Send command in text and hex, auto send, the checksum
// label, file sends with their history and progress, the TX counter, and the send thread
// that writes it all. UI thread only, but for what the send thread hands back.
class Sender : public SendReports {
 public:
  // `toUiThread` runs a task on the UI thread; the send thread reports through it.
  Sender(SenderView& view, std::function<void(std::function<void()>)> toUiThread);
  ~Sender() override;

  // The port to write to, after each open; null after each close.
  void SetPort(std::shared_ptr<platform::CommPort> port);
  bool PortOpen() const { return m_port != nullptr; }

  void Send();  // the Send command: the send box, in text or hex, once
  // A saved command, its frame ended by its own choices or the send box's lists. False when
  // no port is open.
  bool SendCommand(const Command& command);
  // Whether what was queued has not all been written yet.
  bool WritesPending() const { return m_thread.Pending(); }
  void BreakClicked();  // a break of kBreakLength after what is queued
  static constexpr std::chrono::milliseconds kBreakLength{250};
  void ClearSendBox();
  void HexClicked();
  void AutoSendClicked();
  void IntervalLeft();  // the interval box lost the focus
  void SendBoxFocused(bool focused);
  void OnTimer(UINT_PTR timerId);
  void UpdateChecksum();
  void ClearCount();

  void SendFileClicked();
  void FileHistoryPicked();
  void FilesDropped(const std::vector<std::u16string>& paths);
  bool IsSendingFile() const;
  // Stops the file being sent and those queued behind it.
  void CancelFileSends();

  std::uint64_t TxCount() const { return m_txCount; }
  const FileHistory& History() const { return m_history; }

  // What the send thread hands back (the tests play it too).
  void OnWrittenBytes(std::span<const std::uint8_t> bytes) override;
  void OnWritten(std::uint64_t written, bool failed, std::uint64_t connection) override;
  void OnFileProgress() override;
  void OnFileDone(std::uint64_t jobId, std::uint64_t connection) override;
  std::uint64_t CurrentConnection() const { return m_thread.Connection(); }

 private:
  UINT AutoSendInterval() const;
  void SendBox(bool byTimer);
  // Once per send: how many characters the encoding lacked went as '?', and the first.
  void ReportReplaced(const platform::TextEncoding& encoding, const platform::WideEncoder::Replaced& replaced);
  void QueueFrame(std::vector<std::uint8_t> bytes, FrameEnding ending);
  // Opens the file and checks its mark at once, then queues it when the port is open; the
  // file enters the history either way.
  void SendFile(const std::u16string& name, const std::u16string& path);
  void ShowFileProgress();
  void ShowTxCount();
  // The Send Fail path, once, and only for the connection the write was made on.
  void ReportFailure(std::uint64_t connection);
  void RefuseWhileWaiting();

  SenderView& m_view;
  SendThread m_thread;
  std::shared_ptr<platform::CommPort> m_port;
  std::uint64_t m_txCount = 0;
  bool m_refusedWhileWaiting = false;
  bool m_replacedReportedInAutoSend = false;
  FileHistory m_history;
  std::deque<std::shared_ptr<FileSendJob>> m_fileJobs;  // queued and not yet reported done, in order
};
