#include <gtest/gtest.h>

#include "platform/charset_converter.h"
#include "platform/codepage.h"
#include "platform/win32/win32_api.h"

namespace {

using platform::CharsetConverter;

TEST(Win32CodePageTest, TheSystemsCodePageUnlessForced) {
  EXPECT_EQ(platform::GetACP(), ::GetACP());
  platform::SetACPForTesting(950);
  EXPECT_EQ(platform::GetACP(), 950u);
  EXPECT_EQ(platform::UiLanguageBase(), 200);
  platform::SetACPForTesting(936);
  EXPECT_EQ(platform::UiLanguageBase(), 100);
  platform::SetACPForTesting(65001);
  EXPECT_EQ(platform::UiLanguageBase(), 0);
  platform::SetACPForTesting(0);
  EXPECT_EQ(platform::GetACP(), ::GetACP());
}

struct Decoded {
  CharsetConverter::Stop stop;
  std::size_t consumed;
  std::u16string text;
};

Decoded DecodeOnce(unsigned codePage, std::string_view bytes) {
  CharsetConverter converter(codePage, CharsetConverter::Direction::ToUtf16);
  const auto* begin = reinterpret_cast<const std::uint8_t*>(bytes.data());
  const auto* at = begin;
  Decoded result;
  result.stop = converter.Decode(at, begin + bytes.size(), result.text);
  result.consumed = static_cast<std::size_t>(at - begin);
  return result;
}

TEST(Win32CharsetConverterTest, StopsAtAnUnfinishedOrBadDoubleByteCharacter) {
  using Stop = CharsetConverter::Stop;
  const Decoded cut = DecodeOnce(936, "ab\xD6\xD0\xD6");
  EXPECT_EQ(cut.stop, Stop::Incomplete);
  EXPECT_EQ(cut.consumed, 4u);
  EXPECT_EQ(cut.text, u"ab中");

  const Decoded big5 = DecodeOnce(950, "\xA4\xA4\xA4");
  EXPECT_EQ(big5.stop, Stop::Incomplete);
  EXPECT_EQ(big5.text, u"中");

  const std::string longText = std::string(300, 'x') + "\xA4\x21" + std::string(300, 'y');
  const Decoded bad = DecodeOnce(950, longText);  // a lead byte with a trail byte Big5 never uses
  EXPECT_EQ(bad.stop, Stop::Invalid);
  EXPECT_EQ(bad.consumed, 300u);
  EXPECT_EQ(bad.text, std::u16string(300, u'x'));
}

TEST(Win32CharsetConverterTest, EncodingStopsAtWhatTheCodePageLacksInsteadOfABestFit) {
  CharsetConverter converter(1252, CharsetConverter::Direction::FromUtf16);
  const std::u16string text = u"caf\u00E9 \u0101";  // U+0101 would best-fit to 'a'
  const char16_t* at = text.data();
  std::string bytes;
  EXPECT_EQ(converter.Encode(at, text.data() + text.size(), bytes), CharsetConverter::Stop::Invalid);
  EXPECT_EQ(bytes, "caf\xE9 ");
  EXPECT_EQ(at, text.data() + 5);
}

TEST(Win32CharsetConverterTest, CharsetNamesGiveTheirCodePages) {
  EXPECT_EQ(CharsetConverter::CodePageOfCharset("GBK"), 936u);
  EXPECT_EQ(CharsetConverter::CodePageOfCharset("big5"), 950u);
  EXPECT_EQ(CharsetConverter::CodePageOfCharset("UTF-8"), 65001u);
  EXPECT_EQ(CharsetConverter::CodePageOfCharset("ISO-8859-1"), 28591u);
  EXPECT_EQ(CharsetConverter::CodePageOfCharset("windows-1252"), 1252u);
  EXPECT_EQ(CharsetConverter::CodePageOfCharset("utf8"), 65001u);
  EXPECT_EQ(CharsetConverter::CodePageOfCharset("CP437"), 437u);
  EXPECT_EQ(CharsetConverter::CodePageOfCharset("cp4242"), 0u);  // a number the system lacks
  EXPECT_EQ(CharsetConverter::CodePageOfCharset("no such set"), 0u);
  EXPECT_EQ(CharsetConverter::CodePageOfCharset(""), 0u);
}

}  // namespace
