#include "platform/code_page_layout.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/charset_converter.h"

namespace platform {

namespace {

constexpr unsigned kUtf8CodePage = 65001;

CodePageLayout Learn(unsigned codePage) {
  CodePageLayout layout;
  if (codePage == kUtf8CodePage) {
    layout.kind = CodePageLayout::Kind::Utf8;
    return layout;
  }
  CharsetConverter converter(codePage, CharsetConverter::Direction::ToUtf16);
  bool singleByte = true;
  bool asciiBased = true;
  // A byte that gives nothing at once is a character the converter keeps back to combine
  // with what follows (glibc's 1255 and 1258 do so): text after it must pass the converter
  // too, or it would come out ahead of that character.
  bool holdsBack = false;
  for (unsigned byte = 0; byte < 256; ++byte) {
    const std::uint8_t in[1] = {static_cast<std::uint8_t>(byte)};
    const std::uint8_t* cursor = in;
    std::u16string unit;
    converter.Reset();
    const auto stop = converter.Decode(cursor, in + 1, unit);
    const bool oneUnit = stop == CharsetConverter::Stop::Done && unit.size() == 1;
    if (stop == CharsetConverter::Stop::Done && unit.empty()) holdsBack = true;
    if (stop == CharsetConverter::Stop::Incomplete || (stop == CharsetConverter::Stop::Done && !oneUnit)) {
      singleByte = false;
    }
    layout.byteToUnit[byte] = oneUnit ? unit[0] : u'\uFFFD';
    if (byte < 0x80 && (!oneUnit || unit[0] != byte)) asciiBased = false;
  }
  // A code page the system lacks still passes ASCII: every code page a locale can
  // name is ASCII-based, and the rest shows as U+FFFD rather than nothing.
  if (!converter.IsOpen()) {
    for (unsigned byte = 0; byte < 0x80; ++byte) layout.byteToUnit[byte] = static_cast<char16_t>(byte);
    asciiBased = true;
  }
  if (singleByte && asciiBased) {
    layout.kind = CodePageLayout::Kind::SingleByte;
  } else {
    layout.kind = asciiBased && !holdsBack ? CodePageLayout::Kind::AsciiMultiByte : CodePageLayout::Kind::Other;
  }
  return layout;
}

}  // namespace

const CodePageLayout& CodePageLayout::Of(unsigned codePage) {
  static std::mutex mutex;
  static std::map<unsigned, std::unique_ptr<const CodePageLayout>> known;
  const std::lock_guard lock(mutex);
  auto& entry = known[codePage];
  if (!entry) entry = std::make_unique<const CodePageLayout>(Learn(codePage));
  return *entry;
}

}  // namespace platform
