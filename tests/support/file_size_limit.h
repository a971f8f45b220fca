#pragma once

#include <sys/resource.h>

#include <csignal>
#include <utility>

namespace testsupport {

// Runs `write` while no file may grow past `bytes`, so a write fails part way as on a disk
// that fills up: a stand-in for a full disk, which a test cannot make. The write sees EFBIG
// instead of the signal. What `write` returned.
template <class Write>
auto WithFileSizeLimit(rlim_t bytes, Write&& write) {
  rlimit old{};
  ::getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = bytes;
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  ::setrlimit(RLIMIT_FSIZE, &small);
  auto result = std::forward<Write>(write)();
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  return result;
}

}  // namespace testsupport
