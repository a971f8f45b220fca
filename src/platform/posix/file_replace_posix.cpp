#include "platform/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>
#include <system_error>

namespace platform {
namespace {

namespace fs = std::filesystem;

// The file a symbolic link (or a chain of them) leads to; any other path as it is.
fs::path ResolveLink(const fs::path& file) {
  std::error_code error;
  if (!fs::is_symlink(fs::symlink_status(file, error))) return file;
  const fs::path resolved = fs::weakly_canonical(file, error);
  return error ? file : resolved;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t put = ::write(fd, bytes.data(), bytes.size());
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(put));
  }
  return true;
}

// Opens a fresh temporary file beside the target; hidden by its dot, unique by process and
// a counter, created exclusively so a leftover of a crashed run is never reused.
int CreateTemporaryBeside(const fs::path& target, fs::path& temporary) {
  static std::atomic<unsigned> counter{0};
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = folder / ("." + target.filename().string() + ".tmp" + std::to_string(::getpid()) + "-" +
                          std::to_string(counter++));
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// Root editing a user's file must leave it the user's, or the user could no longer save.
// An ordinary user may not give a file away; the rewritten file is then simply theirs.
void KeepOwnerAndMode(int fd, const struct stat& old) {
  if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
    [[maybe_unused]] const int ignored = ::fchown(fd, old.st_uid, old.st_gid);
  }
  ::fchmod(fd, old.st_mode & 07777);
}

}  // namespace

bool ReplaceFileContent(const fs::path& file, std::string_view bytes) {
  try {
    const fs::path target = ResolveLink(file);
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) return false;  // a folder or a device is no file to replace
    fs::path temporary;
    const int fd = CreateTemporaryBeside(target, temporary);
    if (fd < 0) return false;
    if (exists) KeepOwnerAndMode(fd, old);
    // fsync before rename: otherwise a power cut could leave the renamed file empty.
    bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) ::unlink(temporary.c_str());
    return ok;
  } catch (const std::exception&) {  // out of memory for a name
    return false;
  }
}

}  // namespace platform
