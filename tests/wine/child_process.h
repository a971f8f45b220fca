#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace winetest {

// A program the tests start and always reap. Its output goes to a log file, or, with
// `pipes`, its stdin and stdout are ours to talk to it line by line (stderr still logs).
class ChildProcess {
 public:
  struct Options {
    std::vector<std::string> environment;  // NAME=VALUE, added to or replacing ours
    std::string log = "/dev/null";         // appended to
    bool pipes = false;
  };

  ChildProcess(const std::vector<std::string>& argv, const Options& options);  // throws std::runtime_error
  ~ChildProcess();                                                             // kills the program when it still runs
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t Pid() const { return m_pid; }
  bool WriteLine(const std::string& line);
  // One line without its end; nothing when none came within the timeout or the output ended.
  std::optional<std::string> ReadLine(std::chrono::milliseconds timeout);
  void CloseInput();
  // The exit status (or 128 + signal); nothing when it still runs after the timeout.
  std::optional<int> Wait(std::chrono::milliseconds timeout);
  void Kill();

 private:
  pid_t m_pid = -1;
  std::optional<int> m_status;
  int m_input = -1;
  int m_output = -1;
  std::string m_pending;  // read but not yet returned
};

}  // namespace winetest
