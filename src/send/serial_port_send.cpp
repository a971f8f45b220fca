#include "send/serial_port_send.h"

#include <array>
#include <chrono>
#include <cstring>
#include <string>

#include "platform/comm.h"
#include "platform/dialog.h"
#include "send/file_send_job.h"
#include "send/file_text_converter.h"
#include "serial/port_messages.h"

namespace {
// A file is read in pieces of this size, so memory stays flat whatever its size, and a cancel
// waits for one piece at most.
constexpr std::size_t kFileChunk = 1024;
// Reports on a file reach the window at most this often: a fast port must not flood it.
constexpr auto kReportPeriod = std::chrono::milliseconds(50);
}  // namespace

// Stopped here, not only in the base: the thread must not run OnMessage on a half-destroyed
// object.
SerialPortSend::~SerialPortSend() { Stop(); }

bool SerialPortSend::Start() {
  m_stopping.store(false);
  return CWinTimerThread::Start();
}

void SerialPortSend::Stop() {
  m_stopping.store(true);
  CWinTimerThread::Stop();
  std::deque<std::shared_ptr<FileSendJob>> dropped;
  {
    std::lock_guard lock(m_filesMutex);
    dropped.swap(m_files);
  }
  const Target target = CurrentTarget();
  for (const auto& job : dropped) {
    job->outcome.store(FileSendJob::Outcome::Cancelled);
    if (target.notify) target.notify->PostMessage(WM_PORT_FILEDONE, static_cast<WPARAM>(job->id), target.tag);
  }
}

void SerialPortSend::SetTarget(CDialogEx* notifyWindow, std::shared_ptr<platform::CommPort> port) {
  std::lock_guard lock(m_targetMutex);
  m_hNotifyWnd = notifyWindow;
  m_hPort = std::move(port);
  ++m_connection;
}

LPARAM SerialPortSend::ConnectionTag() const { return CurrentTarget().tag; }

SerialPortSend::Target SerialPortSend::CurrentTarget() const {
  std::lock_guard lock(m_targetMutex);
  return Target{m_hNotifyWnd, m_hPort, static_cast<LPARAM>(m_connection)};
}

bool SerialPortSend::PostSend(std::shared_ptr<const std::vector<std::uint8_t>> bytes) {
  const auto count = static_cast<LPARAM>(bytes ? bytes->size() : 0);
  return Post(ThreadMessage{WM_PORT_SEND, 0, count, std::move(bytes)});
}

bool SerialPortSend::PostSendFile(std::shared_ptr<FileSendJob> job) {
  std::lock_guard lock(m_filesMutex);
  job->id = ++m_lastFileId;
  m_files.push_back(std::move(job));
  if (Post(ThreadMessage{WM_PORT_SENDFILE, 0, 0, nullptr})) return true;
  m_files.pop_back();
  return false;
}

void SerialPortSend::OnStart() { m_nTimerId = AddTimer(); }

void SerialPortSend::OnStop() {
  RemoveTimer(m_nTimerId);
  m_strData.reset();
}

int SerialPortSend::OnMessage(const ThreadMessage& message) {
  if (message.message != WM_TIMER) {
    ThreadMessage timer;
    if (PeekTimer(timer)) OnMessage(timer);
  }
  if (message.message == WM_PORT_SENDFILE) {
    std::shared_ptr<FileSendJob> job;
    {
      std::lock_guard lock(m_filesMutex);
      if (m_files.empty()) return 0;
      job = std::move(m_files.front());
      m_files.pop_front();
    }
    SendFile(*job);
    return 0;
  }
  if (message.message != WM_PORT_SEND) return 0;
  m_strData = message.bytes;
  m_nToWrite = static_cast<std::int32_t>(message.lParam);
  m_dwWritten = 0;
  if (m_nToWrite == 0 || !m_strData) return 0;

  const Target target = CurrentTarget();
  platform::WriteResult result{0, true};
  if (target.port) result = target.port->Write(m_strData->data(), static_cast<std::uint32_t>(m_nToWrite));
  m_dwWritten = result.written;
  if (target.notify) {
    target.notify->PostMessage(WM_PORT_SENT, m_dwWritten, target.tag);
    // The bytes that went out before a failure count; the window hears of the failure as a
    // report of nothing written.
    if (result.failed && m_dwWritten > 0) target.notify->PostMessage(WM_PORT_SENT, 0, target.tag);
  }
  return 0;
}

// The window hears of the bytes written in sums, at most every kReportPeriod, so its queue
// stays short however fast the port is. A write cut short ends the file: going on would send
// it with a hole.
void SerialPortSend::SendFile(FileSendJob& job) {
  using Clock = std::chrono::steady_clock;
  FileTextConverter converter(job.encoding, job.codePage);
  std::array<char, kFileChunk> chunk;
  std::string bytes;
  Target target = CurrentTarget();
  std::uint64_t unreported = 0;
  auto lastReport = Clock::now();
  const auto report = [&] {
    if (!target.notify) return;
    if (unreported > 0) target.notify->PostMessage(WM_PORT_SENT, static_cast<WPARAM>(unreported), target.tag);
    unreported = 0;
    target.notify->PostMessage(WM_PORT_FILEPROGRESS, static_cast<WPARAM>(job.id), target.tag);
    lastReport = Clock::now();
  };
  const auto write = [&] {
    if (bytes.empty()) return true;
    target = CurrentTarget();
    const auto count = static_cast<std::uint32_t>(bytes.size());
    // A cancel reaches a write the line holds under flow control.
    const platform::WriteResult result =
        target.port ? target.port->Write(reinterpret_cast<const std::uint8_t*>(bytes.data()), count, &job.cancelled)
                    : platform::WriteResult{0, true};
    unreported += result.written;
    return result.written == count;
  };
  const auto cutShort = [&] {
    return job.cancelled.load() ? FileSendJob::Outcome::Cancelled : FileSendJob::Outcome::WriteFailed;
  };

  // The first piece holds the bytes the mark check read; pieces end where 1024-byte reads from
  // the start of the file would.
  std::size_t filled = job.head.size();
  std::memcpy(chunk.data(), job.head.data(), filled);
  std::size_t skip = job.encoding == FileEncoding::Utf16Le ? filled : 0;
  auto outcome = FileSendJob::Outcome::Finished;
  for (;;) {
    if (job.cancelled.load() || m_stopping.load()) {
      outcome = FileSendJob::Outcome::Cancelled;
      break;
    }
    job.file.read(chunk.data() + filled, static_cast<std::streamsize>(kFileChunk - filled));
    filled += static_cast<std::size_t>(job.file.gcount());
    if (job.file.bad()) {
      outcome = FileSendJob::Outcome::ReadFailed;
      break;
    }
    if (filled == 0) {
      converter.Finish(bytes);
      if (!write()) outcome = cutShort();
      break;
    }
    job.consumed.fetch_add(filled);
    converter.Convert(reinterpret_cast<const std::uint8_t*>(chunk.data()) + skip, filled - skip, bytes);
    filled = 0;
    skip = 0;
    if (!write()) {
      outcome = cutShort();
      break;
    }
    if (Clock::now() - lastReport >= kReportPeriod) report();
  }
  job.file.close();
  report();
  job.outcome.store(outcome);
  if (target.notify) target.notify->PostMessage(WM_PORT_FILEDONE, static_cast<WPARAM>(job.id), target.tag);
}
