#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "send/hex_string.h"

namespace {
std::vector<std::uint8_t> Parse(std::u16string_view text, int count) {
  std::vector<std::uint8_t> out(static_cast<std::size_t>(count), 0xEE);
  HexStrToBytes(text, out.data(), count);
  out.resize(static_cast<std::size_t>(count));
  return out;
}
}  // namespace

TEST(HexStrToBytesTest, EachPairIsReadOnItsOwn) {
  EXPECT_EQ(Parse(u"0aFF-1 77ZZ70X+F77", 9),
            (std::vector<std::uint8_t>{0x0A, 0xFF, 0xFF, 0x07, 0x07, 0x00, 0x00, 0x0F, 0x77}));
  // Any white space the platform knows leads a pair: tab, line feed, no-break and ideographic space.
  EXPECT_EQ(Parse(u"\t1\n2\u00A03\u30004", 4), (std::vector<std::uint8_t>{1, 2, 3, 4}));
  EXPECT_EQ(Parse(u"1 ", 1), std::vector<std::uint8_t>{0x01});
  EXPECT_EQ(Parse(u"- ", 1), std::vector<std::uint8_t>{0x00});
}

TEST(HexStrToBytesTest, CountLimitsTheOutputAndReturnsWhatWasProduced) {
  EXPECT_EQ(Parse(u"010203", 2), (std::vector<std::uint8_t>{1, 2}));
  EXPECT_EQ(Parse(u"01020", 5), (std::vector<std::uint8_t>{1, 2}));
  EXPECT_EQ(Parse(u"", 0), std::vector<std::uint8_t>{});
  // The text ends at U+0000; nothing past it is counted as produced.
  EXPECT_EQ(Parse(std::u16string(u"01\0" u"203", 6), 3), std::vector<std::uint8_t>{1});
  EXPECT_EQ(Parse(std::u16string(u"\0" u"1", 2), 1), std::vector<std::uint8_t>{});
}
