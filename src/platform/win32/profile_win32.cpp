#include "platform/profile.h"

#include <mutex>
#include <optional>
#include <vector>

#include "platform/profile_line_breaks.h"
#include "platform/win32/win32_api.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

// Longer values than this are not read: the buffer would no longer be a settings value.
constexpr std::size_t kLargestValue = std::size_t(1) << 26;

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f'; }

std::u16string Trim(std::u16string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return std::u16string(s);
}

bool IsQuote(char16_t c) { return c == u'"' || c == u'\''; }
bool IsQuoted(std::u16string_view s) { return s.size() >= 2 && IsQuote(s.front()) && s.back() == s.front(); }

bool HasLineBreakOrNul(std::u16string_view s) {
  return s.find_first_of(std::u16string_view(u"\r\n\0", 3)) != std::u16string_view::npos;
}

bool CanStoreSection(std::u16string_view section) {
  return !HasLineBreakOrNul(section) && section.find(u']') == std::u16string_view::npos;
}

bool CanStoreKey(std::u16string_view key) {
  return !key.empty() && !HasLineBreakOrNul(key) && key.find(u'=') == std::u16string_view::npos &&
         !key.starts_with(u'[') && !key.starts_with(u';');
}

// The profile calls trim blanks and remove one pair of quotes on reading; quoting such a
// value keeps it whole.
std::u16string Stored(std::u16string_view value) {
  if (profile_line_breaks::HasLineBreak(value)) return profile_line_breaks::Escape(value);
  const bool readingWouldChange =
      !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()) || IsQuoted(value));
  return readingWouldChange ? u'"' + std::u16string(value) + u'"' : std::u16string(value);
}

const wchar_t* Wide(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

// Without a folder the profile calls would use the Windows folder.
std::wstring FullPath(const fs::path& file) { return fs::absolute(file).wstring(); }

// The value, read in full however long it is, or `missing` when the key is absent.
std::u16string ReadValue(const std::u16string& section, const std::u16string& key, const std::u16string& missing,
                         const std::wstring& file) {
  std::vector<wchar_t> buffer(2000);
  for (;;) {
    const DWORD got = ::GetPrivateProfileStringW(Wide(section), Wide(key), Wide(missing), buffer.data(),
                                                 static_cast<DWORD>(buffer.size()), file.c_str());
    // A full buffer means the value may have been cut.
    if (got + 1 < buffer.size() || buffer.size() >= kLargestValue) {
      return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()), got);
    }
    buffer.resize(buffer.size() * 2);
  }
}

// The value of a key as the file has it, quotes and all: the section read leaves them on.
// Nothing when the key is missing.
std::optional<std::u16string> RawValue(const std::u16string& section, const std::u16string& key,
                                       const std::wstring& file) {
  std::vector<wchar_t> buffer(4096);
  DWORD got = 0;
  for (;;) {
    got = ::GetPrivateProfileSectionW(Wide(section), buffer.data(), static_cast<DWORD>(buffer.size()), file.c_str());
    // A full buffer is reported as its size less two.
    if (got + 2 < buffer.size() || buffer.size() >= kLargestValue) break;
    buffer.resize(buffer.size() * 2);
  }
  const std::u16string_view entries(reinterpret_cast<const char16_t*>(buffer.data()), got);
  for (std::size_t begin = 0; begin < entries.size();) {
    std::size_t end = entries.find(u'\0', begin);
    if (end == std::u16string_view::npos) end = entries.size();
    const std::u16string_view entry = entries.substr(begin, end - begin);
    begin = end + 1;
    const std::size_t equals = entry.find(u'=');
    if (equals == std::u16string_view::npos) continue;
    const std::u16string name = Trim(entry.substr(0, equals));
    if (::CompareStringOrdinal(Wide(name), static_cast<int>(name.size()), Wide(key), static_cast<int>(key.size()),
                               TRUE) == CSTR_EQUAL) {
      return Trim(entry.substr(equals + 1));
    }
  }
  return std::nullopt;
}

// A value read back in the stored form of a value with line breaks is one only when the file
// has it in double quotes, as this program writes it; an older file may hold the same text
// unquoted, and it reads as it always did.
std::u16string WithLineBreaks(std::u16string read, const std::u16string& section, const std::u16string& key,
                              const std::wstring& file) {
  auto value = profile_line_breaks::Unescape(read);
  if (!value || RawValue(section, key, file) != u'"' + read + u'"') return read;
  return std::move(*value);
}

// The first bytes of the file tell how the profile calls store text in it.
enum class Storage { Missing, Utf16, CodePage };

Storage StorageOf(const std::wstring& file) {
  const HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return ::GetLastError() == ERROR_FILE_NOT_FOUND ? Storage::Missing : Storage::CodePage;
  }
  unsigned char mark[2] = {};
  DWORD got = 0;
  const bool read = ::ReadFile(handle, mark, sizeof mark, &got, nullptr);
  ::CloseHandle(handle);
  return read && got == 2 && mark[0] == 0xFF && mark[1] == 0xFE ? Storage::Utf16 : Storage::CodePage;
}

// A file that starts with the UTF-16 mark is written in UTF-16 by the profile calls;
// otherwise they write the ANSI code page, and a filter text in another script would be lost.
void CreateAsUtf16(const std::wstring& file) {
  const HANDLE handle =
      ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return;  // the profile call then reports the failure
  const unsigned char mark[2] = {0xFF, 0xFE};
  DWORD put = 0;
  const bool written = ::WriteFile(handle, mark, sizeof mark, &put, nullptr) && put == sizeof mark;
  ::CloseHandle(handle);
  if (!written) ::DeleteFileW(file.c_str());
}

bool FitsCodePage(const std::u16string& text) {
  if (text.empty()) return true;
  BOOL usedDefault = FALSE;
  const int size = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, Wide(text), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, &usedDefault);
  return size > 0 && !usedDefault;
}

// The profile calls serialise themselves, but the check of the file's storage before them
// must not interleave with another thread's write.
std::mutex& WriteMutex() {
  static std::mutex mutex;
  return mutex;
}

}  // namespace

std::u16string GetPrivateProfileString(std::u16string_view section, std::u16string_view key,
                                       std::u16string_view defaultValue, const fs::path& file) {
  try {
    const std::u16string sectionName = Trim(section);
    const std::u16string keyName = Trim(key);
    if (HasLineBreakOrNul(sectionName) || HasLineBreakOrNul(keyName)) return std::u16string(defaultValue);
    const std::wstring path = FullPath(file);
    // The calls give the default for a missing key with its trailing blanks cut, so two
    // markers that no settings value equals tell a missing key from a present one.
    std::u16string first = ReadValue(sectionName, keyName, u"\uFDD0", path);
    if (first != u"\uFDD0") return WithLineBreaks(std::move(first), sectionName, keyName, path);
    const std::u16string second = ReadValue(sectionName, keyName, u"\uFDD1", path);
    return second == u"\uFDD1" ? std::u16string(defaultValue) : second;
  } catch (const std::exception&) {  // out of memory on an absurd file: it reads as missing
    return std::u16string(defaultValue);
  }
}

bool WritePrivateProfileString(std::u16string_view section, std::u16string_view key,
                               std::u16string_view value, const fs::path& file) {
  try {
    const std::u16string sectionName = Trim(section);
    const std::u16string keyName = Trim(key);
    const std::u16string stored = Stored(value);
    if (!CanStoreSection(sectionName) || !CanStoreKey(keyName) || HasLineBreakOrNul(stored)) return false;
    const std::wstring path = FullPath(file);

    const std::lock_guard lock(WriteMutex());
    switch (StorageOf(path)) {
      case Storage::Missing:
        CreateAsUtf16(path);
        break;
      case Storage::CodePage:
        // An older file in the ANSI code page cannot hold this text: refuse rather than
        // store question marks.
        if (!FitsCodePage(sectionName + keyName + stored)) return false;
        break;
      case Storage::Utf16:
        break;
    }
    return ::WritePrivateProfileStringW(Wide(sectionName), Wide(keyName), Wide(stored), path.c_str()) != FALSE;
  } catch (const std::exception&) {
    return false;
  }
}

// FILE_ATTRIBUTE_HIDDEN alone, as the settings file has always been marked: this also
// clears read-only, so a file made read-only by hand can be written again next time.
void SetFileHidden(const fs::path& file) {
  try {
    ::SetFileAttributesW(FullPath(file).c_str(), FILE_ATTRIBUTE_HIDDEN);
  } catch (const std::exception&) {
  }
}

}  // namespace platform
