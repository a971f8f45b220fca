#include <string_view>

#include "platform/profile.h"
#include "platform/win32/win32_api.h"

namespace platform {

namespace {
bool IsUtf16Text(std::string_view bytes) {
  if (bytes.size() % 2 != 0) return false;
  bool highPending = false;
  for (std::size_t i = 2; i < bytes.size(); i += 2) {
    const auto unit = static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                            (static_cast<unsigned char>(bytes[i + 1]) << 8));
    const bool high = unit >= 0xD800 && unit <= 0xDBFF;
    const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
    if (low != highPending) return false;
    highPending = high;
  }
  return !highPending;
}
}  // namespace

// The profile calls read a file with the UTF-16 mark as UTF-16, any other in the ANSI code
// page; a file that is neither would come back as other characters.
bool IsProfileText(std::string_view bytes) {
  if (bytes.starts_with("\xFF\xFE")) return IsUtf16Text(bytes);
  if (bytes.empty()) return true;
  return ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0) > 0;
}

}  // namespace platform
