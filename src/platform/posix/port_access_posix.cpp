#include "platform/port_access.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/comm.h"
#include "platform/text.h"

namespace platform {
namespace {

bool InGroup(gid_t group) {
  if (::getegid() == group) return true;
  const int count = ::getgroups(0, nullptr);
  if (count <= 0) return false;
  std::vector<gid_t> groups(static_cast<std::size_t>(count));
  const int got = ::getgroups(count, groups.data());
  for (int i = 0; i < got; ++i) {
    if (groups[static_cast<std::size_t>(i)] == group) return true;
  }
  return false;
}

std::string GroupName(gid_t group) {
  // A group with many members needs a larger buffer; ERANGE says so.
  for (std::size_t size = 4096; size <= (1u << 20); size *= 4) {
    std::vector<char> buffer(size);
    ::group entry{};
    ::group* found = nullptr;
    const int error = ::getgrgid_r(group, &entry, buffer.data(), buffer.size(), &found);
    if (error == ERANGE) continue;
    if (error == 0 && found != nullptr && found->gr_name != nullptr && found->gr_name[0] != '\0') return found->gr_name;
    break;
  }
  return std::to_string(group);
}

}  // namespace

std::u16string GroupToJoinFor(std::u16string_view portName) {
  const std::string path = CommPort::DevicePath(portName);
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return {};
  // Asked with the effective ids, as open() decides.
  if (::faccessat(AT_FDCWD, path.c_str(), R_OK | W_OK, AT_EACCESS) == 0 || errno != EACCES) return {};
  // The owner's bits decide for the owner, whatever the group may do.
  if (status.st_uid == ::geteuid()) return {};
  constexpr mode_t kGroupReadWrite = S_IRGRP | S_IWGRP;
  if ((status.st_mode & kGroupReadWrite) != kGroupReadWrite || InGroup(status.st_gid)) return {};
  return text::FromUtf8(GroupName(status.st_gid));
}

}  // namespace platform
