#include "platform/port_identity.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "platform/comm.h"
#include "platform/text.h"

namespace platform {
namespace {

bool IsCharacterDevice(const std::string& path, dev_t* number = nullptr) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0 || !S_ISCHR(status.st_mode)) return false;
  if (number) *number = status.st_rdev;
  return true;
}

// The first link in the folder, in name order, that leads to the device numbered `device`.
std::optional<std::string> LinkToDevice(const std::string& folder, dev_t device) {
  std::vector<std::string> links;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    links.push_back(it->path().string());
  }
  std::sort(links.begin(), links.end());
  for (const std::string& link : links) {
    dev_t number = 0;
    if (IsCharacterDevice(link, &number) && number == device) return link;
  }
  return std::nullopt;
}

}  // namespace

std::u16string IdentityOfPort(std::u16string_view portText, const std::string& byIdFolder) {
  const std::string path = CommPort::DevicePath(portText);
  struct stat status {};
  if (::lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode)) return text::FromUtf8(path);
  dev_t device = 0;
  if (!IsCharacterDevice(path, &device)) return text::FromUtf8(path);
  return text::FromUtf8(LinkToDevice(byIdFolder, device).value_or(path));
}

std::optional<std::u16string> ResolvePortIdentity(std::u16string_view identity) {
  const std::string path = text::ToUtf8(identity);
  if (path.empty() || path.find('\0') != std::string::npos) return std::nullopt;
  const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
  if (!resolved || !IsCharacterDevice(resolved.get())) return std::nullopt;
  return text::FromUtf8(resolved.get());
}

}  // namespace platform
