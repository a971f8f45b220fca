// The send box's hexadecimal text: the parse Send uses and the checksum label beside it.
#include <cstdlib>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "send/checksum_label.h"
#include "send/hex_string.h"

namespace {
// What the C library makes of a pair, for the pairs it reads the same way (ASCII, no NUL).
std::uint8_t CLibraryPair(char16_t first, char16_t second) {
  const char pair[3] = {static_cast<char>(first), static_cast<char>(second), '\0'};
  return static_cast<std::uint8_t>(std::strtol(pair, nullptr, 16));
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  const int limit = static_cast<int>(input.Byte()) - 8;  // negative limits too
  const int selectionStart = static_cast<int>(input.Byte()) - 16;
  const int selectionEnd = static_cast<int>(input.Byte()) - 16;
  const bool ignoreSpace = input.Byte() & 1;
  const std::u16string text = fuzz::Utf16(input.Rest());

  // Exactly as many bytes as allowed: ASan sees any write past them.
  std::vector<std::uint8_t> out(static_cast<std::size_t>(std::max(limit, 0)));
  int count = limit;
  HexStrToBytes(text, out.data(), count);
  const std::size_t beforeNul = text.find(u'\0') == std::u16string::npos ? text.size() : text.find(u'\0');
  FUZZ_CHECK(count == static_cast<int>(std::min<std::size_t>(beforeNul / 2, out.size())));
  for (int i = 0; i < count; ++i) {
    const char16_t first = text[2 * i];
    const char16_t second = text[2 * i + 1];
    if (first < 0x80 && second < 0x80) FUZZ_CHECK(out[i] == CLibraryPair(first, second));
  }

  const ByteChecksums sums = ChecksumsOfHexText(text, selectionStart, selectionEnd, ignoreSpace);
  const ByteChecksums reversed = ChecksumsOfHexText(text, selectionEnd, selectionStart, ignoreSpace);
  FUZZ_CHECK(sums.xorValue == reversed.xorValue && sums.sum == reversed.sum);
  FUZZ_CHECK(ChecksumLabel(sums).size() == 18);
  return 0;
}
