#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/text.h"
#include "platform/text_encoding.h"
#include "support/encoded_samples.h"

namespace {

using platform::MultiByteDecoder;
using platform::WideEncoder;

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

std::u16string Decode(unsigned codePage, std::string_view bytes) {
  const auto data = Bytes(bytes);
  return platform::MultiByteToWide(codePage, data.data(), data.size());
}

// Feeds `bytes` to one decoder cut at the given offsets (ascending).
std::u16string DecodeInPieces(unsigned codePage, std::string_view bytes, const std::vector<std::size_t>& cuts) {
  MultiByteDecoder decoder(codePage);
  std::u16string text;
  std::size_t start = 0;
  for (std::size_t end : cuts) {
    decoder.Append(reinterpret_cast<const std::uint8_t*>(bytes.data()) + start, end - start, text);
    start = end;
  }
  decoder.Append(reinterpret_cast<const std::uint8_t*>(bytes.data()) + start, bytes.size() - start, text);
  decoder.Flush(text);
  return text;
}

struct Sample {
  unsigned codePage;
  std::string bytes;
  std::u16string text;
};

const std::vector<Sample>& Samples() {
  static const std::vector<Sample> samples = {
      {65001, "A\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80z", u"Aé中😀z"},
      {936, "x\xD6\xD0\xCE\xC4\xCE\xC2\xB6\xC8\xA1\xE6\x81\x40\x80y", u"x中文温度℃丂€y"},
      {950, "x\xA4\xA4\xA4\xE5\xB4\xFA\xB8\xD5\xA2\x4Ay", u"x中文測試℃y"},
      {1252, "caf\xE9 \x80 \xFF", u"café € ÿ"},
  };
  return samples;
}

TEST(CodePageTest, WholeBufferConvertsBothWaysInEachCodePage) {
  for (const auto& sample : Samples()) {
    SCOPED_TRACE(sample.codePage);
    EXPECT_EQ(Decode(sample.codePage, sample.bytes), sample.text);
    EXPECT_EQ(platform::WideToMultiByte(sample.codePage, sample.text), sample.bytes);
  }
}

TEST(CodePageTest, ZeroBytesAreCharacters) {
  for (unsigned codePage : {65001u, 936u, 950u, 1252u}) {
    SCOPED_TRACE(codePage);
    const std::string bytes("\0a\0\0b\0", 6);
    const std::u16string text(u"\0a\0\0b\0", 6);
    EXPECT_EQ(Decode(codePage, bytes), text);
    EXPECT_EQ(platform::WideToMultiByte(codePage, text), bytes);
  }
}

TEST(CodePageTest, CharacterCutBetweenTwoPiecesComesOutWhole) {
  for (const auto& sample : Samples()) {
    for (std::size_t cut = 0; cut <= sample.bytes.size(); ++cut) {
      SCOPED_TRACE(testing::Message() << sample.codePage << " cut at " << cut);
      EXPECT_EQ(DecodeInPieces(sample.codePage, sample.bytes, {cut}), sample.text);
    }
  }
}

TEST(CodePageTest, FinishedCharactersComeOutAtOnceAndTheCutOneWaits) {
  MultiByteDecoder decoder(65001);
  std::u16string text;
  const auto bytes = Bytes("ab\xF0\x9F\x98");
  decoder.Append(bytes.data(), bytes.size(), text);
  EXPECT_EQ(text, u"ab");
  const auto rest = Bytes("\x80");
  decoder.Append(rest.data(), rest.size(), text);
  EXPECT_EQ(text, u"ab😀");

  MultiByteDecoder gbk(936);
  std::u16string gbkText;
  const auto lead = Bytes("a\xD6");
  gbk.Append(lead.data(), lead.size(), gbkText);
  EXPECT_EQ(gbkText, u"a");
  const auto trail = Bytes("\xD0");
  gbk.Append(trail.data(), trail.size(), gbkText);
  EXPECT_EQ(gbkText, u"a中");
}

// Random text of ASCII runs (short and long), 2-, 3- and 4-byte characters and,
// optionally, bytes that are no character.
std::u16string RandomText(std::mt19937& random, std::size_t characters, bool chineseOnly) {
  std::u16string text;
  while (text.size() < characters) {
    switch (random() % 4) {
      case 0:
        text.append(random() % 24, static_cast<char16_t>(u' ' + random() % 95));
        break;
      case 1:
        text.push_back(chineseOnly ? u'，' : static_cast<char16_t>(0xA0 + random() % 0x700));
        break;
      case 2:
        text.push_back(static_cast<char16_t>(0x4E00 + random() % (0x9FA5 - 0x4E00)));
        break;
      case 3:
        if (!chineseOnly) text.append(u"😀");
        break;
    }
  }
  return text;
}

TEST(CodePageTest, EveryCutOfMixedUtf8GivesTheWholeBufferText) {
  std::mt19937 random(7);
  for (int round = 0; round < 20; ++round) {
    std::string bytes = platform::WideToMultiByte(65001, RandomText(random, 60, false));
    if (round % 2) {
      for (int junk = 0; junk < 6; ++junk) {
        bytes.insert(random() % bytes.size(), 1, "\xFF\x80\xC3\xE4\xF0\xED\xC0"[random() % 7]);
      }
    }
    const std::u16string whole = Decode(65001, bytes);
    if (round % 2 == 0) {
      ASSERT_EQ(platform::WideToMultiByte(65001, whole), bytes);
    }
    for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
      ASSERT_EQ(DecodeInPieces(65001, bytes, {cut}), whole) << "round " << round << " cut " << cut;
    }
  }
}

TEST(CodePageTest, RandomPiecesOfChineseTextGiveTheWholeBufferText) {
  std::mt19937 random(11);
  for (unsigned codePage : {936u, 950u}) {
    for (int round = 0; round < 50; ++round) {
      // Big5 lacks many of these ideographs; what round-trips is the encoded text.
      std::string bytes = platform::WideToMultiByte(codePage, RandomText(random, 120, true));
      const bool junk = round % 3 == 0;
      for (int i = 0; junk && i < 6; ++i) bytes.insert(random() % bytes.size(), 1, "\x81\xFF\xA4\x7F\x30"[random() % 5]);
      const std::u16string whole = Decode(codePage, bytes);
      if (!junk) {
        ASSERT_EQ(platform::WideToMultiByte(codePage, whole), bytes);
      }
      std::vector<std::size_t> cuts;
      for (std::size_t at = random() % 7; at < bytes.size(); at += 1 + random() % 9) cuts.push_back(at);
      ASSERT_EQ(DecodeInPieces(codePage, bytes, cuts), whole) << codePage << " round " << round;
    }
  }
}

TEST(CodePageTest, InvalidBytesBecomeReplacementsAndTheTextAfterThemStays) {
  const std::map<std::string, std::u16string> utf8 = {
      {"a\xFF" "b", u"a\uFFFDb"},
      {"a\xE4\xB8x", u"a\uFFFDx"},                 // cut short: one replacement
      {"\xC0\xAFz", u"\uFFFD\uFFFDz"},             // overlong
      {"\xED\xA0\x80z", u"\uFFFD\uFFFD\uFFFDz"},   // surrogate
      {"\xF4\x90\x80\x80z", u"\uFFFD\uFFFD\uFFFD\uFFFDz"},  // past U+10FFFF
      {"\x80\xBF" "ab", u"\uFFFD\uFFFDab"},        // stray continuation bytes
      {"ab\xE4\xB8", u"ab\uFFFD"},                 // cut at the end of the buffer
  };
  for (const auto& [bytes, text] : utf8) EXPECT_EQ(Decode(65001, bytes), text) << bytes;

  EXPECT_EQ(Decode(936, "\x81 x\xFF" "y\xD6"), u"\uFFFD x\uFFFDy\uFFFD");
  EXPECT_EQ(Decode(950, "\xA4\x21!\xA4\xA4"), u"\uFFFD!!中");
}

TEST(CodePageTest, BytesThatCanNeverFinishACharacterAreNotCarried) {
  MultiByteDecoder decoder(65001);
  std::u16string text;
  const auto bad = Bytes("\xE0\x80");  // E0 needs A0..BF next
  decoder.Append(bad.data(), bad.size(), text);
  EXPECT_EQ(text, u"\uFFFD\uFFFD");
  const auto good = Bytes("ok");
  decoder.Append(good.data(), good.size(), text);
  EXPECT_EQ(text, u"\uFFFD\uFFFDok");
}

TEST(CodePageTest, ResetDropsTheCarriedTail) {
  const auto a = Bytes("a");
  {
    MultiByteDecoder decoder(65001);
    std::u16string text;
    const auto cut = Bytes("\xE4\xB8");
    decoder.Append(cut.data(), cut.size(), text);
    decoder.Reset();
    const auto rest = Bytes("\xAD" "a");
    decoder.Append(rest.data(), rest.size(), text);
    EXPECT_EQ(text, u"\uFFFDa");
  }
  {
    MultiByteDecoder decoder(936);  // "\xD6" "a" would be one GBK character
    std::u16string text;
    const auto lead = Bytes("\xD6");
    decoder.Append(lead.data(), lead.size(), text);
    decoder.Reset();
    decoder.Append(a.data(), a.size(), text);
    decoder.Flush(text);
    EXPECT_EQ(text, u"a");
  }
}

TEST(CodePageTest, EncoderJoinsASurrogatePairSplitBetweenPieces) {
  WideEncoder utf8(65001);
  std::string bytes;
  utf8.Append(u"a\xD83D", bytes);
  EXPECT_EQ(bytes, "a");
  utf8.Append(u"\xDE00" "b", bytes);
  utf8.Flush(bytes);
  EXPECT_EQ(bytes, "a\xF0\x9F\x98\x80" "b");

  WideEncoder gbk(936);
  std::string gbkBytes;
  gbk.Append(u"\x4E2D\xD83D", gbkBytes);
  gbk.Append(u"\xDE00", gbkBytes);
  gbk.Flush(gbkBytes);
  EXPECT_EQ(gbkBytes, "\xD6\xD0?");  // GBK lacks U+1F600: one '?' for the one character
}

TEST(CodePageTest, LoneSurrogatesAreReplaced) {
  EXPECT_EQ(platform::WideToMultiByte(65001, u"a\xDC00" "b\xD800"), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
  EXPECT_EQ(platform::WideToMultiByte(936, u"a\xDC00" "b\xD800"), "a?b?");
  WideEncoder encoder(65001);
  std::string bytes;
  encoder.Append(u"\xD800", bytes);
  encoder.Reset();
  encoder.Append(u"x", bytes);
  EXPECT_EQ(bytes, "x");
}

TEST(CodePageTest, CharactersTheCodePageLacksBecomeQuestionMarks) {
  EXPECT_EQ(platform::WideToMultiByte(936, u"aก中é"), "a?\xD6\xD0\xA8\xA6");
  EXPECT_EQ(platform::WideToMultiByte(1252, u"中x"), "?x");
  EXPECT_EQ(platform::WideToMultiByte(950, u"温"), "?");
}

// Each encoding the Encoding list offers, both ways, and cut anywhere into three pieces.
TEST(CodePageTest, EachChoosableEncodingConvertsBothWaysAndCutsNeverChangeTheText) {
  for (const auto& sample : testsupport::EncodedSamples()) {
    const unsigned codePage = platform::TextEncodingNamed(sample.encoding).CodePage();
    SCOPED_TRACE(text::ToUtf8(sample.encoding));
    // Wine has neither GB18030 (54936) nor EUC-KR (51949); Windows and iconv have both.
    if (!platform::IsCodePageAvailable(codePage)) {
      EXPECT_TRUE(codePage == 54936 || codePage == 51949) << "missing";
      continue;
    }
    EXPECT_EQ(Decode(codePage, sample.bytes), sample.text);
    EXPECT_EQ(platform::WideToMultiByte(codePage, sample.text), sample.bytes);
    for (std::size_t first = 0; first <= sample.bytes.size(); ++first) {
      for (std::size_t second = first; second <= sample.bytes.size(); ++second) {
        ASSERT_EQ(DecodeInPieces(codePage, sample.bytes, {first, second}), sample.text) << first << " " << second;
      }
    }
  }
}

TEST(CodePageTest, AGb18030FourByteCharacterCutIntoThreeChunksWaitsAndComesOutWhole) {
  if (!platform::IsCodePageAvailable(54936)) GTEST_SKIP() << "this system has no GB18030 (Wine)";
  MultiByteDecoder decoder(54936);
  std::u16string text;
  for (const std::string_view piece : {std::string_view("a\x81"), std::string_view("\x30\x8B")}) {
    decoder.Append(reinterpret_cast<const std::uint8_t*>(piece.data()), piece.size(), text);
    EXPECT_EQ(text, u"a");
  }
  decoder.Append(reinterpret_cast<const std::uint8_t*>("\x37"), 1, text);
  EXPECT_EQ(text, u"a\u00FF");
  const std::string_view after = "b";
  decoder.Append(reinterpret_cast<const std::uint8_t*>(after.data()), after.size(), text);
  EXPECT_EQ(text, u"a\u00FFb");
}

TEST(CodePageTest, TheEncoderCountsWhatItReplacesAndKeepsTheFirst) {
  WideEncoder latin(1252);
  std::string bytes;
  latin.Append(u"\u4E2Dx", bytes);
  latin.Append(u"\U0001F600\u00E9\u6587", bytes);
  latin.Flush(bytes);
  EXPECT_EQ(bytes, "?x?\xE9?");
  EXPECT_EQ(latin.ReplacedSoFar().count, 3u);
  EXPECT_EQ(latin.ReplacedSoFar().first, U'\u4E2D');

  WideEncoder cyrillic(20866);
  std::string koi;
  cyrillic.Append(u"\u043F\U0001F600", koi);
  EXPECT_EQ(koi, "\xD0?");
  EXPECT_EQ(cyrillic.ReplacedSoFar().first, U'\U0001F600') << "a pair is one character";

  WideEncoder utf8(65001);
  std::string all;
  utf8.Append(u"\u4E2D\U0001F600", all);
  EXPECT_EQ(utf8.ReplacedSoFar().count, 0u);
}

TEST(CodePageTest, UnknownCodePagePassesAsciiOnly) {
  EXPECT_EQ(Decode(4242, "ab\xC3\xA9"), u"ab\uFFFD\uFFFD");
  EXPECT_EQ(platform::WideToMultiByte(4242, u"abé"), "ab?");
}

}  // namespace
