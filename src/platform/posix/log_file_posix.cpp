#include "platform/log_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/text.h"

namespace platform {
namespace {
std::u16string SystemError(int code) { return text::FromUtf8(std::strerror(code)); }
}  // namespace

LogFile::~LogFile() { Close(); }

bool LogFile::Open(const std::filesystem::path& path, std::u16string& error) {
  Close();
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY, 0666);
  if (fd < 0) {
    error = SystemError(errno);
    return false;
  }
  m_handle = fd;
  return true;
}

bool LogFile::Write(const std::uint8_t* data, std::size_t size, std::u16string& error) {
  const int fd = static_cast<int>(m_handle);
  while (size > 0) {
    const ssize_t put = ::write(fd, data, size);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      error = SystemError(put < 0 ? errno : ENOSPC);
      return false;
    }
    data += put;
    size -= static_cast<std::size_t>(put);
  }
  return true;
}

bool LogFile::Sync(std::u16string& error) {
  // A pipe or a terminal has no disk to reach: EINVAL says so, and nothing is lost.
  if (::fdatasync(static_cast<int>(m_handle)) == 0 || errno == EINVAL) return true;
  error = SystemError(errno);
  return false;
}

void LogFile::Close() {
  if (m_handle == kClosed) return;
  ::close(static_cast<int>(m_handle));
  m_handle = kClosed;
}

}  // namespace platform
