#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "send/win_timer_thread.h"

class CDialogEx;
struct FileSendJob;
namespace platform {
class CommPort;
}

// Files: the dialog queues a job, the thread reports on it by the job's id (wParam). Like
// WM_PORT_SENT, both reports carry the connection tag as lParam.
inline constexpr UINT WM_PORT_SENDFILE = 0x04CA;      // dialog -> send thread: the next queued file
inline constexpr UINT WM_PORT_FILEPROGRESS = 0x04CB;  // send thread -> dialog: more of the file went out
inline constexpr UINT WM_PORT_FILEDONE = 0x04CC;      // send thread -> dialog: the file's outcome is set

// The send thread: writes each request's bytes, or each queued file, to the open port, one at
// a time in the order posted, and reports the bytes written to the dialog with WM_PORT_SENT.
class SerialPortSend : public CWinTimerThread {
 public:
  ~SerialPortSend() override;

  bool Start() override;
  // Ends a file being sent after its current write, drops what is still queued and waits for
  // the thread. Every file dropped is reported done, cancelled.
  void Stop() override;

  // Set by the dialog after each open and close; read by the thread for every write. Each
  // call begins a new connection.
  void SetTarget(CDialogEx* notifyWindow, std::shared_ptr<platform::CommPort> port);
  // The current connection's tag. A report tagged otherwise comes from a write made before a
  // close: its bytes count, its failure does not concern the port open now.
  LPARAM ConnectionTag() const;

  // Queue behind what was posted before; false when the thread does not run (nothing queued).
  bool PostSend(std::shared_ptr<const std::vector<std::uint8_t>> bytes);
  bool PostSendFile(std::shared_ptr<FileSendJob> job);

 protected:
  int OnMessage(const ThreadMessage& message) override;
  void OnStart() override;
  void OnStop() override;

 private:
  struct Target {
    CDialogEx* notify = nullptr;
    std::shared_ptr<platform::CommPort> port;
    LPARAM tag = 0;
  };
  Target CurrentTarget() const;
  void SendFile(FileSendJob& job);

  std::shared_ptr<const std::vector<std::uint8_t>> m_strData;
  std::int32_t m_nToWrite = 0;
  std::uint32_t m_dwWritten = 0;
  mutable std::mutex m_targetMutex;
  CDialogEx* m_hNotifyWnd = nullptr;
  std::shared_ptr<platform::CommPort> m_hPort;
  std::uint64_t m_connection = 0;
  UINT_PTR m_nTimerId = 0;

  std::mutex m_filesMutex;
  std::deque<std::shared_ptr<FileSendJob>> m_files;  // one per WM_PORT_SENDFILE still queued
  std::uint64_t m_lastFileId = 0;
  std::atomic<bool> m_stopping{false};
};
