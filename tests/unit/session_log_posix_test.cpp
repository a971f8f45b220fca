#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "receive/session_log.h"
#include "support/byte_pattern.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

using namespace std::chrono_literals;

namespace {

// The UI thread's queue, run by the test when it looks.
class PostedReports {
 public:
  std::function<void(std::function<void()>)> Poster() {
    return [this](std::function<void()> task) {
      std::lock_guard lock(m_mutex);
      m_tasks.push_back(std::move(task));
    };
  }
  void RunAll() {
    std::vector<std::function<void()>> tasks;
    {
      std::lock_guard lock(m_mutex);
      tasks.swap(m_tasks);
    }
    for (auto& task : tasks) task();
  }

 private:
  std::mutex m_mutex;
  std::vector<std::function<void()>> m_tasks;
};

}  // namespace

// A pipe nobody reads is a disk that cannot keep up: real, and slow at will.
TEST(SessionLog, ADiskThatCannotKeepUpIsReportedOnceAndWhatWasQueuedIsWritten) {
  testsupport::TempDir folder;
  const auto fifo = folder.Path() / "slow";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  PostedReports posted;
  int behind = 0;
  int failed = 0;
  SessionLog log(posted.Poster(), {[&](const std::u16string&) { ++failed; }, [&] { ++behind; }});
  std::u16string error;
  ASSERT_TRUE(log.Start(fifo, error));

  // The writer may hold a whole queue in its blocked write: three fill both and overflow.
  const std::vector<std::uint8_t> bytes = testsupport::Pattern(3 * SessionLog::kQueueLimit);
  constexpr std::size_t kChunk = 500;
  for (std::size_t at = 0; at < bytes.size(); at += kChunk) log.Add(bytes.data() + at, kChunk);
  posted.RunAll();
  EXPECT_EQ(behind, 1);

  std::string drained;
  std::thread drain([&] {
    ::fcntl(reader, F_SETFL, 0);
    char buffer[65536];
    for (ssize_t got; (got = ::read(reader, buffer, sizeof buffer)) > 0;) drained.append(buffer, got);
  });
  log.Stop();
  drain.join();
  ::close(reader);
  posted.RunAll();
  EXPECT_EQ(failed, 0);
  EXPECT_GE(drained.size(), SessionLog::kQueueLimit);
  EXPECT_TRUE(drained == std::string(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(drained.size())))
      << "what went in is written in order, without a hole";
}

// The program is killed outright; what the writer had handed to the system is in the file,
// in order, and nothing else.
TEST(SessionLog, AKilledProgramLeavesEverythingWrittenBeforeTheKill) {
  testsupport::TempDir folder;
  const auto file = folder.Path() / "killed.log";
  const std::vector<std::uint8_t> bytes = testsupport::Pattern(32 * 1024 * 1024);
  int reports[2];
  ASSERT_EQ(::pipe(reports), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(reports[0]);
    SessionLog log([](std::function<void()>) {}, {});
    std::u16string error;
    if (!log.Start(file, error)) ::_exit(1);
    for (std::size_t at = 0; at + 4096 <= bytes.size(); at += 4096) {
      log.Add(bytes.data() + at, 4096);
      const std::uint64_t written = log.WrittenBytes();
      if (::write(reports[1], &written, sizeof written) != sizeof written) ::_exit(2);
      std::this_thread::sleep_for(100us);
    }
    ::_exit(3);
  }
  ::close(reports[1]);
  std::uint64_t lastWritten = 0;
  for (std::uint64_t written; lastWritten < 2 * 1024 * 1024 && ::read(reports[0], &written, sizeof written) == sizeof written;) {
    lastWritten = written;
  }
  ::kill(child, SIGKILL);
  int status = 0;
  ::waitpid(child, &status, 0);
  ::close(reports[0]);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended before the kill: " << WEXITSTATUS(status);
  ASSERT_GE(lastWritten, 2u * 1024 * 1024);

  const std::string logged = testsupport::ReadFileBytes(file);
  EXPECT_GE(logged.size(), lastWritten);
  EXPECT_TRUE(logged == std::string(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(logged.size())));
}
