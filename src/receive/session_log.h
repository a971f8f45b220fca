#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/log_file.h"

// A capture written to a file as it arrives, by a thread of its own: the UI thread only
// copies the bytes into a bounded queue, so neither the reader nor the window ever waits
// for the disk. The writer writes what is queued within 100 ms and puts it on the disk at
// least once a second, so a crash or a power cut loses at most the last second. A queue that overflows (a disk slower than the port) drops what does not fit and
// says so once; a write that fails ends the log and says why. Both reports come on the UI
// thread, never after Stop.
class SessionLog {
 public:
  struct Reports {
    std::function<void(const std::u16string& error)> failed;  // the log has ended
    std::function<void()> fellBehind;
  };
  static constexpr std::size_t kQueueLimit = 16 * 1024 * 1024;

  // `toUiThread` runs a task on the UI thread (the window's PostTask).
  SessionLog(std::function<void(std::function<void()>)> toUiThread, Reports reports);
  ~SessionLog();
  SessionLog(const SessionLog&) = delete;
  SessionLog& operator=(const SessionLog&) = delete;

  // Creates or empties the file and starts the writer; false with the system's reason.
  bool Start(const std::filesystem::path& path, std::u16string& error);
  // Writes what is still queued, puts it on the disk and closes the file.
  void Stop();
  bool Running() const { return m_running; }
  const std::filesystem::path& Path() const { return m_path; }

  void Add(const std::uint8_t* data, std::size_t size);
  // Bytes the writer has handed to the system so far: a killed program keeps them.
  std::uint64_t WrittenBytes() const { return m_written.load(); }

 private:
  void Run();
  void Report(std::function<void()> report);

  const std::function<void(std::function<void()>)> m_toUiThread;
  const Reports m_reports;
  std::filesystem::path m_path;
  platform::LogFile m_file;
  bool m_running = false;
  bool m_reportedBehind = false;
  // Stands for this log in the reports posted: a report that arrives after Stop finds it
  // replaced and is dropped.
  std::shared_ptr<int> m_session;

  std::mutex m_mutex;
  std::condition_variable m_wake;
  std::vector<std::uint8_t> m_queue;  // guarded by m_mutex
  bool m_stop = false;                // guarded by m_mutex
  bool m_failed = false;              // guarded by m_mutex: the writer has given up
  std::atomic<std::uint64_t> m_written{0};
  std::thread m_thread;
};
