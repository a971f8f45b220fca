#include "platform/file_replace.h"

#include <atomic>
#include <string>
#include <vector>

#include "platform/win32/win32_api.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// The file a symbolic link leads to, by the system's own resolution; any other path, or
// one that does not exist yet, as it is.
fs::path ResolveLink(const fs::path& file) {
  const DWORD attributes = ::GetFileAttributesW(file.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return file;
  const HANDLE handle = ::CreateFileW(file.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return file;
  std::vector<wchar_t> buffer(MAX_PATH);
  DWORD length = ::GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
  if (length >= buffer.size()) {
    buffer.resize(length + 1);
    length = ::GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
  }
  ::CloseHandle(handle);
  if (length == 0 || length >= buffer.size()) return file;
  return fs::path(std::wstring(buffer.data(), length));
}

// A fresh temporary file beside the target, created exclusively; hidden by its dot as on
// the other systems, unique by process and a counter.
HANDLE CreateTemporaryBeside(const fs::path& target, fs::path& temporary) {
  static std::atomic<unsigned> counter{0};
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = folder / (L"." + target.filename().wstring() + L".tmp" + std::to_wstring(::GetCurrentProcessId()) +
                          L"-" + std::to_wstring(counter++));
    const HANDLE handle =
        ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) return handle;
  }
  return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE handle, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD put = 0;
    if (!::WriteFile(handle, bytes.data(), chunk, &put, nullptr) || put == 0) return false;
    bytes.remove_prefix(put);
  }
  return true;
}

}  // namespace

bool ReplaceFileContent(const fs::path& file, std::string_view bytes) {
  try {
    const fs::path target = ResolveLink(file);
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    fs::path temporary;
    const HANDLE handle = CreateTemporaryBeside(target, temporary);
    if (handle == INVALID_HANDLE_VALUE) return false;
    bool ok = WriteAll(handle, bytes) && ::FlushFileBuffers(handle);
    ok = ::CloseHandle(handle) && ok;
    if (ok && attributes != INVALID_FILE_ATTRIBUTES) {
      // ReplaceFileW keeps the replaced file's security, and its attributes on Windows but
      // not under Wine: they are given to the new content first.
      ::SetFileAttributesW(temporary.c_str(), attributes & kKeptAttributes);
      if (::ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                         nullptr)) {
        return true;
      }
      // The old file is gone already and the new content is only in the temporary: keep it
      // whatever happens next.
      if (::GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT) {
        return ::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
      }
      ok = false;
    } else if (ok) {
      ok = ::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
    }
    if (!ok) ::DeleteFileW(temporary.c_str());
    return ok;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace platform
