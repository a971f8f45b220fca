#include "platform/text_encoding.h"

#include "platform/codepage.h"

namespace platform {

unsigned TextEncoding::CodePage() const { return codePage != 0 ? codePage : GetACP(); }

TextEncoding TextEncodingNamed(std::u16string_view name) {
  for (const TextEncoding& encoding : kTextEncodings) {
    if (encoding.name == name) return encoding;
  }
  return kTextEncodings[0];
}

}  // namespace platform
