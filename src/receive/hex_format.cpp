#include "receive/hex_format.h"

#include <array>

namespace {

// A per-byte printf costs about 100 times the table lookup on a flood of hex data.
constexpr std::array<char16_t, 512> MakeHexPairs() {
  constexpr char16_t digits[] = u"0123456789ABCDEF";
  std::array<char16_t, 512> pairs{};
  for (int b = 0; b < 256; ++b) {
    pairs[2 * b] = digits[b >> 4];
    pairs[2 * b + 1] = digits[b & 0xF];
  }
  return pairs;
}

constexpr std::array<char16_t, 512> kHexPairs = MakeHexPairs();

}  // namespace

const char16_t* HexPairOf(std::uint8_t value) { return &kHexPairs[2 * std::size_t{value}]; }

void AppendHex(const std::uint8_t* data, int count, bool addSpace, std::u16string& out) {
  if (data == nullptr || count <= 0) {
    return;
  }
  const std::size_t stride = addSpace ? 3 : 2;
  const std::size_t start = out.size();
  out.resize(start + stride * static_cast<std::size_t>(count));
  char16_t* dst = out.data() + start;
  for (int i = 0; i < count; ++i) {
    const char16_t* pair = &kHexPairs[2 * std::size_t{data[i]}];
    dst[0] = pair[0];
    dst[1] = pair[1];
    if (addSpace) {
      dst[2] = u' ';
    }
    dst += stride;
  }
}

std::u16string BytesToHexStr(const std::uint8_t* pData, int nCount, bool bAddSpace) {
  std::u16string out;
  AppendHex(pData, nCount, bAddSpace, out);
  return out;
}
