#include "platform/text_file.h"

#include "platform/codepage.h"
#include "platform/profile.h"
#include "platform/text.h"

namespace platform {

namespace {
void AppendUnit(std::string& bytes, char16_t unit) {
  bytes.push_back(static_cast<char>(unit & 0xFF));
  bytes.push_back(static_cast<char>(unit >> 8));
}
}  // namespace

std::string TextFileBytes(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  bytes.reserve(2 + text.size() * 2);
  for (const char16_t unit : text) {
    if (unit == u'\n') AppendUnit(bytes, u'\r');
    AppendUnit(bytes, unit);
  }
  return bytes;
}

std::optional<std::u16string> TextOfFileBytes(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) {
    bytes.remove_prefix(3);
    if (!text::IsValidUtf8(bytes)) return std::nullopt;
    return text::FromUtf8(bytes);
  }
  // The settings file's test: a UTF-16 file must be whole, an ANSI one valid in its code page.
  if (!IsProfileText(bytes)) return std::nullopt;
  if (bytes.starts_with("\xFF\xFE")) {
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                           (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    }
    return text;
  }
  return MultiByteToWide(GetACP(), reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace platform
