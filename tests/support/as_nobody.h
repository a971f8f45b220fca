#pragma once

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

namespace testsupport {

// What a user without root sees of the system's permissions, for tests that run as root
// (root is refused nothing). Runs `body` in a child process that has become `nobody`,
// member of `groups` only, and returns what `body` returned: empty when all went as
// expected, else what did not. Header-only, for POSIX tests.
inline std::string RunAsNobody(const std::vector<gid_t>& groups, const std::function<std::string()>& body) {
  const passwd* nobody = ::getpwnam("nobody");
  const uid_t uid = nobody ? nobody->pw_uid : 65534;
  const gid_t gid = nobody ? nobody->pw_gid : 65534;
  int pipe[2];
  if (::pipe(pipe) != 0) return "no pipe";
  const pid_t child = ::fork();
  if (child < 0) return "no fork";
  if (child == 0) {
    ::close(pipe[0]);
    std::string failure;
    if (::setgroups(groups.size(), groups.data()) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0) {
      failure = "cannot become nobody";
    } else {
      failure = body();
    }
    std::size_t done = 0;
    while (done < failure.size()) {
      const ssize_t n = ::write(pipe[1], failure.data() + done, failure.size() - done);
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    ::_exit(0);
  }
  ::close(pipe[1]);
  std::string failure;
  char buffer[512];
  for (ssize_t n; (n = ::read(pipe[0], buffer, sizeof buffer)) > 0;) failure.append(buffer, static_cast<std::size_t>(n));
  ::close(pipe[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) failure += " (the child ended with status " + std::to_string(status) + ")";
  return failure;
}

}  // namespace testsupport
