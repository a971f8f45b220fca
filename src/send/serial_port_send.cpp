#include "send/serial_port_send.h"

#include "platform/comm.h"
#include "platform/dialog.h"
#include "serial/port_messages.h"

// Stopped here, not only in the base: the thread must not run OnMessage on a half-destroyed
// object.
SerialPortSend::~SerialPortSend() { Stop(); }

void SerialPortSend::SetTarget(CDialogEx* notifyWindow, std::shared_ptr<platform::CommPort> port) {
  std::lock_guard lock(m_targetMutex);
  m_hNotifyWnd = notifyWindow;
  m_hPort = std::move(port);
}

bool SerialPortSend::PostSend(std::shared_ptr<const std::vector<std::uint8_t>> bytes) {
  const auto count = static_cast<LPARAM>(bytes ? bytes->size() : 0);
  return Post(ThreadMessage{WM_PORT_SEND, 0, count, std::move(bytes)});
}

void SerialPortSend::OnStart() { m_nTimerId = AddTimer(); }

void SerialPortSend::OnStop() {
  RemoveTimer(m_nTimerId);
  std::lock_guard lock(m_targetMutex);
  m_strData.reset();
}

int SerialPortSend::OnMessage(const ThreadMessage& message) {
  if (message.message != WM_TIMER) {
    ThreadMessage timer;
    if (PeekTimer(timer)) OnMessage(timer);
  }
  if (message.message != WM_PORT_SEND) return 0;
  m_strData = message.bytes;
  m_nToWrite = static_cast<std::int32_t>(message.lParam);
  m_dwWritten = 0;
  if (m_nToWrite == 0 || !m_strData) return 0;

  CDialogEx* notify = nullptr;
  std::shared_ptr<platform::CommPort> port;
  {
    std::lock_guard lock(m_targetMutex);
    notify = m_hNotifyWnd;
    port = m_hPort;
  }
  if (port) m_dwWritten = port->Write(m_strData->data(), static_cast<std::uint32_t>(m_nToWrite));
  if (notify) notify->PostMessage(WM_PORT_SENT, m_dwWritten, 0);
  return 0;
}
