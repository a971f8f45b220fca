#include "platform/profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <optional>

#include "platform/file_replace.h"
#include "platform/profile_line_breaks.h"
#include "platform/text.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Blanks are ASCII, and UTF-8 never uses ASCII bytes inside a multi-byte character, so
// names and values are trimmed and compared on the file's bytes before any decoding.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }
bool IsLineBreak(char c) { return c == '\n' || c == '\r'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

bool IsQuote(char c) { return c == '"' || c == '\''; }
bool IsQuoted(std::string_view s) { return s.size() >= 2 && IsQuote(s.front()) && s.back() == s.front(); }

std::u16string DecodeValue(std::string_view stored) {
  stored = Trim(stored);
  if (!IsQuoted(stored)) return text::FromUtf8(stored);
  std::u16string inner = text::FromUtf8(stored.substr(1, stored.size() - 2));
  if (stored.front() == '"') {
    if (auto withLineBreaks = profile_line_breaks::Unescape(inner)) return std::move(*withLineBreaks);
  }
  return inner;
}

std::string EncodeValue(std::u16string_view value) {
  if (profile_line_breaks::HasLineBreak(value)) return text::ToUtf8(profile_line_breaks::Escape(value));
  std::string bytes = text::ToUtf8(value);
  const bool readingWouldChange =
      !bytes.empty() && (IsBlank(bytes.front()) || IsBlank(bytes.back()) || IsQuoted(bytes));
  return readingWouldChange ? '"' + bytes + '"' : bytes;
}

// Where a key stands in the file, or where it would go. Offsets are into the file's bytes.
struct Location {
  bool sectionFound = false;
  std::size_t insertAt = 0;       // after the section's last non-blank line
  bool insertNeedsLineEnd = false;  // that line is the last of the file and has no line end
  bool keyFound = false;
  std::size_t valueBegin = 0;     // the value without its surrounding blanks
  std::size_t valueEnd = 0;
};

std::size_t BomLength(std::string_view bytes) { return bytes.starts_with(kUtf8Bom) ? kUtf8Bom.size() : 0; }

Location Locate(std::string_view bytes, std::string_view section, std::string_view key) {
  Location where;
  bool inSection = false;
  std::size_t pos = BomLength(bytes);
  while (pos < bytes.size()) {
    std::size_t end = pos;
    while (end < bytes.size() && !IsLineBreak(bytes[end])) ++end;
    std::size_t next = end;
    if (next < bytes.size()) next += bytes.compare(next, 2, "\r\n") == 0 ? 2 : 1;
    const std::string_view line = Trim(bytes.substr(pos, end - pos));
    const auto close = line.find(']');
    if (line.starts_with('[') && close != std::string_view::npos) {
      if (where.sectionFound) break;  // only the first section of that name counts
      inSection = EqualsNoCase(Trim(line.substr(1, close - 1)), section);
      if (inSection) {
        where.sectionFound = true;
        where.insertAt = next;
        where.insertNeedsLineEnd = next == end;
      }
    } else if (inSection && !line.empty()) {
      where.insertAt = next;
      where.insertNeedsLineEnd = next == end;
      const auto equals = line.find('=');
      if (!line.starts_with(';') && equals != std::string_view::npos &&
          EqualsNoCase(Trim(line.substr(0, equals)), key)) {
        const std::string_view value = Trim(line.substr(equals + 1));
        where.keyFound = true;
        where.valueBegin = static_cast<std::size_t>(value.data() - bytes.data());
        where.valueEnd = where.valueBegin + value.size();
        return where;
      }
    }
    pos = next;
  }
  return where;
}

// The line end of the file's first line, so a rewrite keeps the file's style.
std::string_view LineEndStyle(std::string_view bytes) {
  const auto at = bytes.find_first_of("\r\n");
  if (at == std::string_view::npos) return "\n";
  return bytes.compare(at, 2, "\r\n") == 0 ? "\r\n" : bytes.substr(at, 1);
}

std::string WithValue(std::string_view bytes, std::string_view section, std::string_view key,
                      std::string_view encodedValue) {
  const Location where = Locate(bytes, section, key);
  const std::string_view eol = LineEndStyle(bytes);
  std::string out;
  out.reserve(bytes.size() + section.size() + key.size() + encodedValue.size() + 8);
  if (where.keyFound) {
    out.append(bytes.substr(0, where.valueBegin)).append(encodedValue).append(bytes.substr(where.valueEnd));
  } else if (where.sectionFound) {
    out.append(bytes.substr(0, where.insertAt));
    if (where.insertNeedsLineEnd) out.append(eol);
    out.append(key).append("=").append(encodedValue).append(eol).append(bytes.substr(where.insertAt));
  } else {
    out.append(bytes);
    if (out.size() > BomLength(out) && !IsLineBreak(out.back())) out.append(eol);
    out.append("[").append(section).append("]").append(eol);
    out.append(key).append("=").append(encodedValue).append(eol);
  }
  return out;
}

bool HasLineBreakOrNul(std::string_view s) { return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos; }

bool CanStoreSection(std::string_view section) {
  return !HasLineBreakOrNul(section) && section.find(']') == std::string_view::npos;
}

bool CanStoreKey(std::string_view key) {
  return !key.empty() && !HasLineBreakOrNul(key) && key.find('=') == std::string_view::npos &&
         !key.starts_with('[') && !key.starts_with(';');
}

struct FileContent {
  bool exists = false;
  std::string bytes;
};

// The whole file, empty when it does not exist; nothing when it exists but cannot be read
// as a regular file (a folder, a pipe that would block, no permission).
std::optional<FileContent> ReadWholeFile(const fs::path& file) {
  FileContent content;
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) {
    if (errno == ENOENT) return content;
    return std::nullopt;
  }
  struct stat status {};
  bool ok = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
  if (ok) content.bytes.reserve(static_cast<std::size_t>(status.st_size));
  char buffer[65536];
  while (ok) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got == 0) break;
    if (got < 0 && errno == EINTR) continue;
    ok = got > 0;
    if (ok) content.bytes.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  if (!ok) return std::nullopt;
  content.exists = true;
  return content;
}

// Read-modify-write of the same file from two threads must not lose either change.
std::mutex& WriteMutex() {
  static std::mutex mutex;
  return mutex;
}

}  // namespace

std::u16string GetPrivateProfileString(std::u16string_view section, std::u16string_view key,
                                       std::u16string_view defaultValue, const fs::path& file) {
  try {
    const auto content = ReadWholeFile(file);
    if (!content) return std::u16string(defaultValue);
    const std::string sectionName = text::ToUtf8(section);
    const std::string keyName = text::ToUtf8(key);
    const Location where = Locate(content->bytes, Trim(sectionName), Trim(keyName));
    if (!where.keyFound) return std::u16string(defaultValue);
    return DecodeValue(std::string_view(content->bytes).substr(where.valueBegin, where.valueEnd - where.valueBegin));
  } catch (const std::exception&) {  // out of memory on an absurd file: it reads as missing
    return std::u16string(defaultValue);
  }
}

bool WritePrivateProfileString(std::u16string_view section, std::u16string_view key,
                               std::u16string_view value, const fs::path& file) {
  try {
    const std::string sectionBytes = text::ToUtf8(section);
    const std::string keyBytes = text::ToUtf8(key);
    const std::string_view sectionName = Trim(sectionBytes);
    const std::string_view keyName = Trim(keyBytes);
    const std::string encodedValue = EncodeValue(value);
    if (!CanStoreSection(sectionName) || !CanStoreKey(keyName) || HasLineBreakOrNul(encodedValue)) return false;

    const std::lock_guard lock(WriteMutex());
    const auto old = ReadWholeFile(file);
    if (!old || (old->exists && ::access(file.c_str(), W_OK) != 0)) return false;
    const std::string updated = WithValue(old->bytes, sectionName, keyName, encodedValue);
    if (old->exists && updated == old->bytes) return true;
    return ReplaceFileContent(file, updated);
  } catch (const std::exception&) {
    return false;
  }
}

// POSIX has no hidden attribute; hiding means a leading dot in the name, and renaming the
// file would move it away from where the program looks for it. So nothing is done.
void SetFileHidden(const fs::path&) {}

}  // namespace platform
