#include "wine/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace winetest {
namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> MergedEnvironment(const std::vector<std::string>& changes) {
  std::map<std::string, std::string> variables;
  auto add = [&](const std::string& entry) {
    const auto equals = entry.find('=');
    if (equals != std::string::npos) variables[entry.substr(0, equals)] = entry;
  };
  for (char** entry = environ; *entry; ++entry) add(*entry);
  for (const auto& entry : changes) add(entry);
  std::vector<std::string> merged;
  for (const auto& [name, entry] : variables) merged.push_back(entry);
  return merged;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (auto& s : strings) pointers.push_back(s.data());
  pointers.push_back(nullptr);
  return pointers;
}

void ClosePipe(int (&fds)[2]) {
  for (int& fd : fds) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const Options& options) {
  const int log = ::open(options.log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (log < 0) throw std::runtime_error("cannot open the log " + options.log);
  int toChild[2] = {-1, -1}, fromChild[2] = {-1, -1};
  if (options.pipes && (::pipe2(toChild, O_CLOEXEC) != 0 || ::pipe2(fromChild, O_CLOEXEC) != 0)) {
    ::close(log);
    ClosePipe(toChild);
    throw std::runtime_error("cannot make pipes");
  }

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (options.pipes) {
    posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
  } else {
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, log, STDOUT_FILENO);
  }
  posix_spawn_file_actions_adddup2(&actions, log, STDERR_FILENO);

  auto args = argv;
  auto environment = MergedEnvironment(options.environment);
  const int error = ::posix_spawnp(&m_pid, args.at(0).c_str(), &actions, nullptr, Pointers(args).data(),
                                   Pointers(environment).data());
  posix_spawn_file_actions_destroy(&actions);
  ::close(log);
  if (options.pipes) {
    ::close(toChild[0]);
    ::close(fromChild[1]);
    m_input = toChild[1];
    m_output = fromChild[0];
  }
  if (error != 0) {
    m_pid = -1;
    CloseInput();
    if (m_output >= 0) ::close(m_output);
    m_output = -1;
    throw std::runtime_error("cannot start " + argv.at(0) + ": " + std::strerror(error));
  }
}

ChildProcess::~ChildProcess() {
  Kill();
  CloseInput();
  if (m_output >= 0) ::close(m_output);
}

bool ChildProcess::WriteLine(const std::string& line) {
  const std::string text = line + '\n';
  std::size_t done = 0;
  while (m_input >= 0 && done < text.size()) {
    const auto n = ::write(m_input, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return done == text.size();
}

std::optional<std::string> ChildProcess::ReadLine(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    const auto end = m_pending.find('\n');
    if (end != std::string::npos) {
      std::string line = m_pending.substr(0, end);
      m_pending.erase(0, end + 1);
      return line;
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (m_output < 0 || left <= 0) return std::nullopt;
    pollfd p{m_output, POLLIN, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return std::nullopt;
    char chunk[4096];
    const auto n = ::read(m_output, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return std::nullopt;
    m_pending.append(chunk, static_cast<std::size_t>(n));
  }
}

void ChildProcess::CloseInput() {
  if (m_input >= 0) ::close(m_input);
  m_input = -1;
}

std::optional<int> ChildProcess::Wait(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (!m_status && m_pid > 0) {
    int status = 0;
    const pid_t done = ::waitpid(m_pid, &status, WNOHANG);
    if (done == m_pid) {
      m_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    } else if (done < 0 && errno != EINTR) {
      m_status = -1;
    } else if (Clock::now() >= deadline) {
      break;
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  return m_status;
}

void ChildProcess::Kill() {
  if (m_pid <= 0 || m_status) return;
  ::kill(m_pid, SIGKILL);
  Wait(std::chrono::seconds(10));
}

}  // namespace winetest
