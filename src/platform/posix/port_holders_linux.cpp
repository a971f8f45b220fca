#include "platform/port_holders.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

#include "platform/text.h"

namespace platform {
namespace {

using ProcessId = std::uint32_t;

struct CloseFolder {
  void operator()(DIR* folder) const { ::closedir(folder); }
};
using Folder = std::unique_ptr<DIR, CloseFolder>;

bool IsNumber(const char* name) {
  if (!*name) return false;
  for (; *name; ++name) {
    if (!std::isdigit(static_cast<unsigned char>(*name))) return false;
  }
  return true;
}

bool IsAlive(ProcessId pid) { return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM); }

std::u16string ProgramOf(ProcessId pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/comm");
  std::string name;
  std::getline(in, name);
  return text::FromUtf8(name);
}

std::string Canonical(const std::u16string& devicePath) {
  const std::string path = text::ToUtf8(devicePath);
  if (path.find('\0') != std::string::npos) return {};
  const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
  return resolved ? std::string(resolved.get()) : std::string();
}

// The UUCP lock file's name for a device: LCK..ttyUSB0, LCK..pts_3 below /dev.
std::string LockName(const std::string& device) {
  std::string name = device.starts_with("/dev/") ? device.substr(5) : device.substr(device.rfind('/') + 1);
  for (char& c : name) c = c == '/' ? '_' : c;
  return "LCK.." + name;
}

// The process a lock file names: ten ASCII digits and a line break, or a binary int in the
// oldest programs' files.
ProcessId LockOwner(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (content.size() == sizeof(std::int32_t) && !std::isdigit(static_cast<unsigned char>(content.back()))) {
    std::int32_t binary = 0;
    std::memcpy(&binary, content.data(), sizeof binary);
    return binary > 0 ? static_cast<ProcessId>(binary) : 0;
  }
  const char* digits = content.c_str();
  char* end = nullptr;
  const long value = std::strtol(digits, &end, 10);
  return end != digits && value > 0 && value <= 0x7fffffff ? static_cast<ProcessId>(value) : 0;
}

// Every other process's descriptors leading to one of the devices. A process that ends
// meanwhile, or one this user may not look into, is passed over.
void FindOpeners(const std::vector<std::string>& devices, std::vector<std::optional<PortHolder>>& holders) {
  std::size_t sought = 0;
  for (std::size_t i = 0; i < devices.size(); ++i) sought += !holders[i] && !devices[i].empty();
  if (sought == 0) return;
  const Folder proc(::opendir("/proc"));
  if (!proc) return;
  const std::string self = std::to_string(::getpid());
  while (const dirent* process = sought ? ::readdir(proc.get()) : nullptr) {
    if (!IsNumber(process->d_name) || self == process->d_name) continue;
    const int fdFolder = ::openat(::dirfd(proc.get()), (std::string(process->d_name) + "/fd").c_str(),
                                  O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fdFolder < 0) continue;
    const Folder fds(::fdopendir(fdFolder));
    if (!fds) {
      ::close(fdFolder);
      continue;
    }
    // Reading the link asks the kernel for a name only; the device's driver is not involved.
    char target[4096];
    while (const dirent* fd = ::readdir(fds.get())) {
      if (fd->d_name[0] == '.') continue;
      const ssize_t length = ::readlinkat(fdFolder, fd->d_name, target, sizeof target);
      if (length <= 0 || length == sizeof target) continue;
      const std::string_view path(target, static_cast<std::size_t>(length));
      for (std::size_t i = 0; i < devices.size(); ++i) {
        if (holders[i] || devices[i].empty() || path != devices[i]) continue;
        const auto pid = static_cast<ProcessId>(std::strtoul(process->d_name, nullptr, 10));
        holders[i] = PortHolder{pid, ProgramOf(pid)};
        --sought;
      }
    }
  }
}

}  // namespace

std::vector<std::optional<PortHolder>> FindPortHolders(const std::vector<std::u16string>& devicePaths,
                                                       const PortHolderSources& sources) {
  std::vector<std::optional<PortHolder>> holders(devicePaths.size());
  std::vector<std::string> devices;
  for (const auto& path : devicePaths) devices.push_back(Canonical(path));

  const auto self = static_cast<ProcessId>(::getpid());
  for (std::size_t i = 0; i < devices.size(); ++i) {
    if (devices[i].empty()) continue;
    for (const std::string& folder : sources.lockFolders) {
      const ProcessId owner = LockOwner(folder + "/" + LockName(devices[i]));
      if (owner != self && IsAlive(owner)) {
        holders[i] = PortHolder{owner, ProgramOf(owner)};
        break;
      }
    }
  }
  FindOpeners(devices, holders);
  return holders;
}

}  // namespace platform
