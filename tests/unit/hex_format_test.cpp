#include <gtest/gtest.h>

#include <cstdint>

#include "receive/hex_format.h"

namespace {

TEST(HexFormat, PairsWithAndWithoutSpace) {
  const std::uint8_t bytes[] = {0x41, 0x42, 0x0D, 0x0A};
  EXPECT_EQ(BytesToHexStr(bytes, 4, false), u"41420D0A");
  EXPECT_EQ(BytesToHexStr(bytes, 4, true), u"41 42 0D 0A ");
}

TEST(HexFormat, EveryByteValueIsTwoUpperCaseDigits) {
  std::uint8_t all[256];
  for (int b = 0; b < 256; ++b) {
    all[b] = static_cast<std::uint8_t>(b);
  }
  const std::u16string hex = BytesToHexStr(all, 256, false);
  ASSERT_EQ(hex.size(), 512u);
  EXPECT_EQ(hex.substr(0, 6), u"000102");
  EXPECT_EQ(hex.substr(2 * 0xAF, 2), u"AF");
  EXPECT_EQ(hex.substr(510), u"FF");
  const std::uint8_t zero = 0x00;
  EXPECT_EQ(BytesToHexStr(&zero, 1, true), u"00 ");
}

TEST(HexFormat, NothingForNoBytes) {
  const std::uint8_t byte = 0x41;
  EXPECT_EQ(BytesToHexStr(&byte, 0, true), u"");
  EXPECT_EQ(BytesToHexStr(&byte, -5, false), u"");
  EXPECT_EQ(BytesToHexStr(nullptr, 3, true), u"");
}

TEST(HexFormat, AppendKeepsWhatIsThere) {
  const std::uint8_t bytes[] = {0x0D, 0x0A};
  std::u16string text(u"A\0B\0", 4);
  AppendHex(bytes, 2, true, text);
  EXPECT_EQ(text, std::u16string(u"A\0B\0" u"0D 0A ", 10));
}

}  // namespace
