#include "send/send_thread.h"

#include <array>
#include <chrono>
#include <cstring>
#include <string>
#include <system_error>

#include "platform/comm.h"
#include "send/file_send_job.h"
#include "send/file_text_converter.h"

namespace {
// A file is read in pieces of this size, so memory stays flat whatever its size, and a cancel
// waits for one piece at most.
constexpr std::size_t kFileChunk = 1024;
// Reports on a file reach the window at most this often: a fast port must not flood it.
constexpr auto kReportPeriod = std::chrono::milliseconds(50);
}  // namespace

SendThread::SendThread(std::function<void(std::function<void()>)> toUiThread, SendReports& reports)
    : m_toUiThread(std::move(toUiThread)), m_reports(reports) {}

SendThread::~SendThread() { Stop(); }

bool SendThread::Start() {
  std::lock_guard lock(m_mutex);
  if (m_running) return false;
  if (m_thread.joinable()) m_thread.join();
  m_requests.clear();
  m_stopping.store(false);
  try {
    m_thread = std::thread([this] { Run(); });
  } catch (const std::system_error&) {
    return false;
  }
  // Set here, not by the thread, so a Stop that follows at once always sees a running thread.
  m_running = true;
  return true;
}

void SendThread::Stop() {
  std::deque<Request> dropped;
  {
    std::lock_guard lock(m_mutex);
    m_stopping.store(true);
    dropped.swap(m_requests);
    m_running = false;
  }
  m_queued.notify_all();
  if (m_thread.joinable()) m_thread.join();
  const std::uint64_t connection = Connection();
  for (const auto& request : dropped) {
    if (!request.file) continue;
    request.file->outcome.store(FileSendJob::Outcome::Cancelled);
    Report([id = request.file->id, connection](SendReports& reports) { reports.OnFileDone(id, connection); });
  }
}

bool SendThread::IsRunning() const {
  std::lock_guard lock(m_mutex);
  return m_running;
}

void SendThread::SetPort(std::shared_ptr<platform::CommPort> port) {
  std::lock_guard lock(m_mutex);
  m_port = std::move(port);
  ++m_connection;
}

std::uint64_t SendThread::Connection() const { return CurrentTarget().connection; }

bool SendThread::Pending() const {
  std::lock_guard lock(m_mutex);
  return m_writing || !m_requests.empty();
}

SendThread::Target SendThread::CurrentTarget() const {
  std::lock_guard lock(m_mutex);
  return Target{m_port, m_connection};
}

bool SendThread::QueueBytes(std::shared_ptr<const std::vector<std::uint8_t>> bytes) {
  return Queue(Request{std::move(bytes), nullptr});
}

bool SendThread::QueueBreak(std::chrono::milliseconds duration) { return Queue(Request{nullptr, nullptr, duration}); }

bool SendThread::QueueFile(std::shared_ptr<FileSendJob> job) {
  {
    std::lock_guard lock(m_mutex);
    job->id = ++m_lastFileId;
  }
  return Queue(Request{nullptr, std::move(job)});
}

bool SendThread::Queue(Request request) {
  {
    std::lock_guard lock(m_mutex);
    if (!m_running) return false;
    m_requests.push_back(std::move(request));
  }
  m_queued.notify_one();
  return true;
}

void SendThread::Report(std::function<void(SendReports&)> report) {
  m_toUiThread([this, report = std::move(report)] { report(m_reports); });
}

void SendThread::Run() {
  for (;;) {
    Request request;
    {
      std::unique_lock lock(m_mutex);
      m_writing = false;
      m_queued.wait(lock, [this] { return m_stopping.load() || !m_requests.empty(); });
      if (m_stopping.load()) return;
      request = std::move(m_requests.front());
      m_requests.pop_front();
      m_writing = true;
    }
    if (request.file) {
      SendFile(*request.file);
    } else if (request.breakFor.count() > 0) {
      SendBreak(request.breakFor);
    } else if (request.bytes && !request.bytes->empty()) {
      Write(std::move(request.bytes));
    }
  }
}

void SendThread::Write(std::shared_ptr<const std::vector<std::uint8_t>> bytes) {
  const Target target = CurrentTarget();
  const auto count = static_cast<std::uint32_t>(bytes->size());
  const platform::WriteResult result =
      target.port ? target.port->Write(bytes->data(), count) : platform::WriteResult{0, true};
  // What went out counts even when the rest did not.
  Report([result, connection = target.connection, bytes = std::move(bytes)](SendReports& reports) {
    if (result.written > 0) reports.OnWrittenBytes({bytes->data(), static_cast<std::size_t>(result.written)});
    reports.OnWritten(result.written, result.failed, connection);
  });
}

void SendThread::SendBreak(std::chrono::milliseconds duration) {
  const Target target = CurrentTarget();
  if (target.port && target.port->SendBreak(duration) != platform::LineResult::Failed) return;
  Report([connection = target.connection](SendReports& reports) { reports.OnWritten(0, true, connection); });
}

// The window hears of the bytes written in sums, at most every kReportPeriod, so its queue
// stays short however fast the port is. A write cut short ends the file: going on would send
// it with a hole.
void SendThread::SendFile(FileSendJob& job) {
  using Clock = std::chrono::steady_clock;
  FileTextConverter converter(job.encoding, job.codePage);
  std::array<char, kFileChunk> chunk;
  std::string bytes;
  Target target = CurrentTarget();
  std::uint64_t unreported = 0;
  std::string unreportedBytes;  // what went out since the last report
  auto lastReport = Clock::now();
  const auto report = [&] {
    if (unreported > 0) {
      Report([written = unreported, sent = std::move(unreportedBytes), connection = target.connection](
                 SendReports& reports) {
        reports.OnWrittenBytes({reinterpret_cast<const std::uint8_t*>(sent.data()), sent.size()});
        reports.OnWritten(written, false, connection);
      });
    }
    unreported = 0;
    unreportedBytes.clear();
    Report([](SendReports& reports) { reports.OnFileProgress(); });
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
    unreportedBytes.append(bytes, 0, result.written);
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
  job.replaced = converter.Replaced();
  job.outcome.store(outcome);
  Report([id = job.id, connection = target.connection](SendReports& reports) { reports.OnFileDone(id, connection); });
}
