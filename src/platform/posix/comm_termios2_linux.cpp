#include "platform/posix/comm_termios2_linux.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>

namespace platform::termios2 {
namespace {

int Ioctl(int fd, unsigned long request, struct termios2* t) {
  int result;
  do {
    result = ioctl(fd, request, t);
  } while (result < 0 && errno == EINTR);
  return result;
}

}  // namespace

bool SetArbitraryBaud(int fd, std::uint32_t baud) {
  struct termios2 t {};
  if (Ioctl(fd, TCGETS2, &t) < 0) return false;
  // An input rate of 0 in CIBAUD means "as the output rate".
  t.c_cflag &= ~(CBAUD | CIBAUD);
  t.c_cflag |= BOTHER;
  t.c_ospeed = baud;
  t.c_ispeed = baud;
  return Ioctl(fd, TCSETS2, &t) == 0;
}

bool ReadBaud(int fd, std::uint32_t& baud) {
  struct termios2 t {};
  if (Ioctl(fd, TCGETS2, &t) < 0) return false;
  baud = t.c_ospeed;
  return true;
}

}  // namespace platform::termios2
