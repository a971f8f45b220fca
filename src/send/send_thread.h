#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

struct FileSendJob;
namespace platform {
class CommPort;
}

// What the send thread reports, on the UI thread. `connection` tags the connection the
// write was made on: a report from before a close concerns no port open now.
class SendReports {
 public:
  virtual ~SendReports() = default;
  // The bytes that went out, as written, before the report of their count.
  virtual void OnWrittenBytes(std::span<const std::uint8_t> bytes) = 0;
  // One request went out: `written` bytes of it, and whether the rest failed.
  virtual void OnWritten(std::uint64_t written, bool failed, std::uint64_t connection) = 0;
  // More of the file going out was written (at most every 50 ms).
  virtual void OnFileProgress() = 0;
  // The job's outcome is set; its written bytes were reported before.
  virtual void OnFileDone(std::uint64_t jobId, std::uint64_t connection) = 0;
};

// The send thread: writes each request's bytes, or each queued file, to the port it was
// given, one at a time in the order queued, and reports the bytes written. Stop drops what
// is still queued and waits for the thread, so nothing queued ever reaches a closed or
// reused port, and a Stop followed by a Start leaves exactly one running thread.
class SendThread {
 public:
  // `toUiThread` runs a task on the UI thread (the window's PostTask); reports go through it.
  SendThread(std::function<void(std::function<void()>)> toUiThread, SendReports& reports);
  ~SendThread();
  SendThread(const SendThread&) = delete;
  SendThread& operator=(const SendThread&) = delete;

  // False when it runs already or cannot be made.
  bool Start();
  // Ends a file being sent after its current write, drops what is still queued and waits for
  // the thread. Every file dropped is reported done, cancelled.
  void Stop();
  bool IsRunning() const;

  // Each call begins a new connection; null: no port (writes write nothing).
  void SetPort(std::shared_ptr<platform::CommPort> port);
  std::uint64_t Connection() const;

  // Queue behind what was queued before; false when the thread does not run.
  bool QueueBytes(std::shared_ptr<const std::vector<std::uint8_t>> bytes);
  bool QueueFile(std::shared_ptr<FileSendJob> job);
  // A break on the line once what was queued before has left; a port that refuses it is
  // reported as a failed write of nothing.
  bool QueueBreak(std::chrono::milliseconds duration);
  // Whether a request is queued or still being written.
  bool Pending() const;

 private:
  struct Request {
    std::shared_ptr<const std::vector<std::uint8_t>> bytes;
    std::shared_ptr<FileSendJob> file;
    std::chrono::milliseconds breakFor{0};
  };
  struct Target {
    std::shared_ptr<platform::CommPort> port;
    std::uint64_t connection = 0;
  };
  void Run();
  bool Queue(Request request);
  Target CurrentTarget() const;
  void Write(std::shared_ptr<const std::vector<std::uint8_t>> bytes);
  void SendFile(FileSendJob& job);
  void SendBreak(std::chrono::milliseconds duration);
  void Report(std::function<void(SendReports&)> report);

  const std::function<void(std::function<void()>)> m_toUiThread;
  SendReports& m_reports;

  mutable std::mutex m_mutex;
  std::condition_variable m_queued;
  std::deque<Request> m_requests;
  bool m_running = false;
  bool m_writing = false;  // the thread holds a request it has not finished
  std::atomic<bool> m_stopping{false};  // read by the thread between the pieces of a file
  std::shared_ptr<platform::CommPort> m_port;
  std::uint64_t m_connection = 0;
  std::uint64_t m_lastFileId = 0;
  std::thread m_thread;
};
