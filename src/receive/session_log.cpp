#include "receive/session_log.h"

#include <chrono>
#include <system_error>

#include "platform/text.h"

namespace {
constexpr auto kSyncPeriod = std::chrono::seconds(1);
// The writer takes what is queued this often, or as soon as this much waits: a flood is
// written in large pieces, not one system call per chunk.
constexpr auto kWritePeriod = std::chrono::milliseconds(100);
constexpr std::size_t kWriteSize = 256 * 1024;
}  // namespace

SessionLog::SessionLog(std::function<void(std::function<void()>)> toUiThread, Reports reports)
    : m_toUiThread(std::move(toUiThread)), m_reports(std::move(reports)) {}

SessionLog::~SessionLog() { Stop(); }

bool SessionLog::Start(const std::filesystem::path& path, std::u16string& error) {
  Stop();
  if (!m_file.Open(path, error)) return false;
  m_path = path;
  m_queue.clear();
  m_stop = false;
  m_failed = false;
  m_reportedBehind = false;
  m_written.store(0);
  m_session = std::make_shared<int>(0);
  try {
    m_thread = std::thread([this] { Run(); });
  } catch (const std::system_error& failure) {
    error = text::FromUtf8(failure.what());
    m_file.Close();
    return false;
  }
  m_running = true;
  return true;
}

void SessionLog::Stop() {
  if (!m_running) return;
  {
    std::lock_guard lock(m_mutex);
    m_stop = true;
  }
  m_wake.notify_one();
  m_thread.join();
  m_file.Close();
  m_session.reset();
  m_running = false;
}

void SessionLog::Add(const std::uint8_t* data, std::size_t size) {
  if (!m_running || size == 0) return;
  bool wake = false;
  bool dropped = false;
  {
    std::lock_guard lock(m_mutex);
    if (m_failed) return;
    if (m_queue.size() + size > kQueueLimit) {
      dropped = true;
    } else {
      wake = m_queue.size() < kWriteSize && m_queue.size() + size >= kWriteSize;
      m_queue.insert(m_queue.end(), data, data + size);
    }
  }
  if (wake) m_wake.notify_one();
  // Posted, not called: the report shows a message box, which must not open inside a
  // hand-over of received chunks.
  if (dropped && !m_reportedBehind) {
    m_reportedBehind = true;
    Report([this] {
      if (m_reports.fellBehind) m_reports.fellBehind();
    });
  }
}

void SessionLog::Report(std::function<void()> report) {
  m_toUiThread([session = std::weak_ptr<int>(m_session), report = std::move(report)] {
    if (!session.expired()) report();
  });
}

void SessionLog::Run() {
  using Clock = std::chrono::steady_clock;
  std::vector<std::uint8_t> writing;
  auto lastSync = Clock::now();
  bool unsynced = false;
  std::u16string error;
  const auto fail = [&] {
    {
      std::lock_guard lock(m_mutex);
      m_failed = true;
      m_queue.clear();
    }
    Report([this, error] {
      if (m_reports.failed) m_reports.failed(error);
    });
  };
  for (;;) {
    bool stopping = false;
    {
      std::unique_lock lock(m_mutex);
      m_wake.wait_for(lock, kWritePeriod, [this] { return m_stop || m_queue.size() >= kWriteSize; });
      writing.swap(m_queue);
      stopping = m_stop;
    }
    if (!writing.empty()) {
      if (!m_file.Write(writing.data(), writing.size(), error)) return fail();
      m_written.fetch_add(writing.size());
      writing.clear();
      unsynced = true;
    }
    const bool due = Clock::now() - lastSync >= kSyncPeriod;
    if (unsynced && (stopping || due)) {
      if (!m_file.Sync(error)) return fail();
      unsynced = false;
    }
    if (due) lastSync = Clock::now();
    if (stopping) return;
  }
}
