#include "platform/log_file.h"

#include <string>

#include "platform/win32/utf16_win32.h"
#include "platform/win32/win32_api.h"

namespace platform {
namespace {
HANDLE Handle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// The system's message in the user's language, without its trailing line break.
std::u16string SystemError(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
      reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::u16string message = length > 0 ? ToU16(std::wstring_view(buffer, length)) : std::u16string();
  if (buffer != nullptr) ::LocalFree(buffer);
  while (!message.empty() && (message.back() == u'\n' || message.back() == u'\r' || message.back() == u' ')) {
    message.pop_back();
  }
  if (message.empty()) {
    for (const char c : std::to_string(code)) message += static_cast<char16_t>(c);
  }
  return message;
}
}  // namespace

LogFile::~LogFile() { Close(); }

bool LogFile::Open(const std::filesystem::path& path, std::u16string& error) {
  Close();
  // Others may read the log while it grows.
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = SystemError(::GetLastError());
    return false;
  }
  m_handle = reinterpret_cast<std::intptr_t>(file);
  return true;
}

bool LogFile::Write(const std::uint8_t* data, std::size_t size, std::u16string& error) {
  while (size > 0) {
    const DWORD wanted = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    DWORD put = 0;
    if (!::WriteFile(Handle(m_handle), data, wanted, &put, nullptr) || put == 0) {
      error = SystemError(put == 0 && ::GetLastError() == ERROR_SUCCESS ? ERROR_DISK_FULL : ::GetLastError());
      return false;
    }
    data += put;
    size -= put;
  }
  return true;
}

bool LogFile::Sync(std::u16string& error) {
  if (::FlushFileBuffers(Handle(m_handle))) return true;
  error = SystemError(::GetLastError());
  return false;
}

void LogFile::Close() {
  if (m_handle == kClosed) return;
  ::CloseHandle(Handle(m_handle));
  m_handle = kClosed;
}

}  // namespace platform
