#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "send/win_timer_thread.h"

class CDialogEx;
namespace platform {
class CommPort;
}

// The send thread: writes each request's bytes to the open port, one request at a time in
// the order posted, and reports every write's count to the dialog with WM_PORT_SENT.
class SerialPortSend : public CWinTimerThread {
 public:
  ~SerialPortSend() override;

  // Set by the dialog before each start; read by the thread for every write.
  void SetTarget(CDialogEx* notifyWindow, std::shared_ptr<platform::CommPort> port);
  // Queues the bytes; false when the thread does not run (the request is lost).
  bool PostSend(std::shared_ptr<const std::vector<std::uint8_t>> bytes);

 protected:
  int OnMessage(const ThreadMessage& message) override;
  void OnStart() override;
  void OnStop() override;

 private:
  std::shared_ptr<const std::vector<std::uint8_t>> m_strData;
  std::int32_t m_nToWrite = 0;
  std::uint32_t m_dwWritten = 0;
  std::mutex m_targetMutex;
  CDialogEx* m_hNotifyWnd = nullptr;
  std::shared_ptr<platform::CommPort> m_hPort;
  UINT_PTR m_nTimerId = 0;
};
