#include "platform/app_dir.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/text.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

// A settings file is only ever replaced through a temporary file beside it, so the folder
// itself must be writable; a writable file in a read-only folder could never be saved.
bool IsWritableFolder(const fs::path& folder) {
  struct stat status {};
  return ::stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
         ::access(folder.c_str(), W_OK | X_OK) == 0;
}

// What lies in /usr belongs to the package manager (or to an install step): even root, who
// may write there, keeps an installed program's settings in its own config folder.
bool IsInstalledProgramFolder(const std::string& folder) { return folder == "/usr" || folder.starts_with("/usr/"); }

// Relative values are ignored, as the XDG base-directory rules require.
fs::path AbsoluteFromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] == '/' ? fs::path(value) : fs::path();
}

fs::path ConfigHome() {
  if (fs::path config = AbsoluteFromEnvironment("XDG_CONFIG_HOME"); !config.empty()) return config;
  fs::path home = AbsoluteFromEnvironment("HOME");
  if (home.empty()) {
    const passwd* user = ::getpwuid(::getuid());
    home = user != nullptr && user->pw_dir != nullptr ? fs::path(user->pw_dir) : fs::current_path();
  }
  return home / ".config";
}

}  // namespace

std::u16string ExecutableDirectory() {
  std::error_code error;
  const fs::path executable = fs::read_symlink("/proc/self/exe", error);
  if (error) return u".";  // no /proc (a bare chroot): the current folder is the best guess
  return text::FromUtf8(executable.parent_path().string());
}

char16_t PathSeparator() { return u'/'; }

fs::path SettingsFilePath(std::u16string_view appDir, std::u16string_view fileName) {
  try {
    const std::string name = text::ToUtf8(fileName);
    const std::string folder = text::ToUtf8(appDir);
    if (IsWritableFolder(folder) && !IsInstalledProgramFolder(folder)) return fs::path(folder + static_cast<char>(PathSeparator()) + name);
    const fs::path own = ConfigHome() / "tarvolm";
    std::error_code ignored;  // a folder that cannot be made shows up as a failed write
    fs::create_directories(own, ignored);
    return own / name;
  } catch (const std::exception&) {
    return fs::path(text::ToUtf8(fileName));
  }
}

}  // namespace platform
