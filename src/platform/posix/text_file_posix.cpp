#include "platform/text_file.h"

#include "platform/text.h"

namespace platform {

std::string TextFileBytes(std::u16string_view text) { return text::ToUtf8(text); }

std::optional<std::u16string> TextOfFileBytes(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  if (!text::IsValidUtf8(bytes)) return std::nullopt;
  return text::FromUtf8(bytes);
}

}  // namespace platform
