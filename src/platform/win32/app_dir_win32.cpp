#include "platform/app_dir.h"

#include <atomic>
#include <string>
#include <vector>

#include "platform/win32/win32_api.h"

#include <shlobj.h>
#include <shlwapi.h>

namespace platform {
namespace {

namespace fs = std::filesystem;

// Past this a module path cannot grow: the longest path Windows accepts.
constexpr DWORD kLongestPath = 32768;

std::wstring Wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

// Only creating a file tells: access lists, a read-only medium and UAC (an installed
// program under Program Files) all show up then and not in the folder's attributes.
bool IsWritableFolder(const std::wstring& folder) {
  const DWORD attributes = ::GetFileAttributesW(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  static std::atomic<unsigned> counter{0};
  const std::wstring probe = folder + L"\\.tarvolm-write-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                             std::to_wstring(counter++);
  const HANDLE handle = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE,
                                      nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  ::CloseHandle(handle);
  return true;
}

// The user's roaming application-data folder (%APPDATA%), or nothing.
fs::path RoamingAppData() {
  wchar_t folder[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, folder))) {
    return {};
  }
  return fs::path(folder);
}

}  // namespace

std::u16string ExecutableDirectory() {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD got = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (got == 0) return u".";
    if (got < path.size()) break;
    if (path.size() >= kLongestPath) return u".";
    path.resize(path.size() * 2);
  }
  ::PathRemoveFileSpecW(path.data());
  return std::u16string(reinterpret_cast<const char16_t*>(path.data()));
}

char16_t PathSeparator() { return u'\\'; }

// Beside the program as ever; an installed program's folder is not writable for its
// users, and then the settings go to %APPDATA%\Tarvolm, as they go to ~/.config elsewhere.
fs::path SettingsFilePath(std::u16string_view appDir, std::u16string_view fileName) {
  try {
    const std::wstring folder = Wide(appDir);
    const std::wstring name = Wide(fileName);
    if (IsWritableFolder(folder)) return fs::path(folder + static_cast<wchar_t>(PathSeparator()) + name);
    const fs::path appData = RoamingAppData();
    if (appData.empty()) return fs::path(folder + static_cast<wchar_t>(PathSeparator()) + name);
    const fs::path own = appData / L"Tarvolm";
    std::error_code ignored;  // a folder that cannot be made shows up as a failed write
    fs::create_directories(own, ignored);
    return own / name;
  } catch (const std::exception&) {
    return fs::path(Wide(fileName));
  }
}

}  // namespace platform
