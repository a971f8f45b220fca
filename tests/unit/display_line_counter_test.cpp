#include <gtest/gtest.h>

#include <random>
#include <string>

#include "receive/display_line_counter.h"

namespace {

// Ten pixels a character, a box of five characters; 'W' is wider than the box.
int Width(char16_t c) { return c == u'W' ? 80 : 10; }

int CountLines(std::u16string_view text, int boxWidth = 50) {
  DisplayLineCounter counter(boxWidth, Width);
  counter.Update(text, 0);
  return counter.LineCount();
}

TEST(DisplayLineCounter, EmptyBoxIsOneLine) {
  DisplayLineCounter counter(50, Width);
  EXPECT_EQ(counter.LineCount(), 1);
  counter.Update(u"abc", 0);
  counter.Reset();
  EXPECT_EQ(counter.LineCount(), 1);
}

TEST(DisplayLineCounter, LineBreaks) {
  EXPECT_EQ(CountLines(u"a\r\nb"), 2);
  EXPECT_EQ(CountLines(u"a\nb"), 2);
  EXPECT_EQ(CountLines(u"a\rb"), 2);
  EXPECT_EQ(CountLines(u"a\r\n"), 2);
  EXPECT_EQ(CountLines(u"a\n\rb"), 3);
  EXPECT_EQ(CountLines(u"a\r\r\n"), 3);
  EXPECT_EQ(CountLines(u"abcde\r\n"), 2);  // a full line does not wrap before its break
}

TEST(DisplayLineCounter, WrapsWithoutSpacesAtTheCharacterThatDoesNotFit) {
  EXPECT_EQ(CountLines(u"abcde"), 1);
  EXPECT_EQ(CountLines(u"abcdef"), 2);
  EXPECT_EQ(CountLines(u"abcdefghijk"), 3);
  EXPECT_EQ(CountLines(u"W"), 1);
  EXPECT_EQ(CountLines(u"aWb"), 3);
  EXPECT_EQ(CountLines(u"WW"), 2);
  EXPECT_EQ(CountLines(u"abc", 0), 3);
}

TEST(DisplayLineCounter, WrapsAfterTheLastSpace) {
  EXPECT_EQ(CountLines(u"ab cd"), 1);
  EXPECT_EQ(CountLines(u"abc defg"), 2);    // "abc " "defg"
  EXPECT_EQ(CountLines(u"a b cdefg"), 2);   // "a b " "cdefg"
  EXPECT_EQ(CountLines(u"abcde   fg"), 2);  // the spaces stay at the end of the upper line
  EXPECT_EQ(CountLines(u"abcde     "), 1);
  EXPECT_EQ(CountLines(u"ab cdefghij"), 3);  // "ab " "cdefg" "hij"
  EXPECT_EQ(CountLines(u" W"), 2);
}

TEST(DisplayLineCounter, ALineEndCanDependOnTheStartOfTheLineTwoBelow) {
  // Box of ten characters: "aaaa " "bbbbb" "X", where X is six wide. Removing X lets the
  // first line take the whole word again.
  const auto width = [](char16_t c) { return c == u'X' ? 60 : 10; };
  DisplayLineCounter counter(100, width);
  counter.Update(u"aaaa bbbbbX", 0);
  EXPECT_EQ(counter.LineCount(), 3);
  counter.Update(u"aaaa bbbbb", 10);
  EXPECT_EQ(counter.LineCount(), 1);
}

TEST(DisplayLineCounter, CarriageReturnAndLineFeedInTwoChunks) {
  DisplayLineCounter counter(50, Width);
  counter.Update(u"ab\r", 0);
  EXPECT_EQ(counter.LineCount(), 2);
  counter.Update(u"ab\r\n", 3);
  EXPECT_EQ(counter.LineCount(), 2);
  counter.Update(u"ab\r\nc", 4);
  EXPECT_EQ(counter.LineCount(), 2);
}

TEST(DisplayLineCounter, TwoHundredthLine) {
  std::u16string text;
  for (int i = 0; i < 197; ++i) {
    text += u"line\r\n";
  }
  text += u"abcdefgh";  // wraps: lines 198 and 199
  DisplayLineCounter counter(50, Width);
  counter.Update(text, 0);
  EXPECT_EQ(counter.LineCount(), 199);
  const std::size_t end = text.size();
  text += u"\r";
  counter.Update(text, end);
  EXPECT_EQ(counter.LineCount(), 200);
  text += u"\n";
  counter.Update(text, end + 1);
  EXPECT_EQ(counter.LineCount(), 200);
}

TEST(DisplayLineCounter, MeasuresOnlyTheRewrappedPart) {
  int calls = 0;
  DisplayLineCounter counter(50, [&calls](char16_t) {
    ++calls;
    return 10;
  });
  std::u16string text(10000, u'\u4E00');  // one paragraph, as hex text is
  counter.Update(text, 0);
  EXPECT_EQ(calls, 10000);
  EXPECT_EQ(counter.LineCount(), 2000);
  calls = 0;
  text += u"\u4E00\u4E00\u4E00\u4E00\u4E00\u4E00\u4E00";
  counter.Update(text, 10000);
  EXPECT_LE(calls, 7 + 3 * 5);
  EXPECT_EQ(counter.LineCount(), 2002);

  calls = 0;  // the common characters are measured once for good
  counter.Update(u"0D 0A 0D 0A \r\n0D 0A ", 0);
  EXPECT_EQ(calls, 4);  // 0 D space A; line breaks take no width
}

TEST(DisplayLineCounter, IncrementalUpdatesMatchAFreshCount) {
  std::mt19937 random(7);
  const std::u16string alphabet = std::u16string(u"aab  \r\nW") + u'\0';
  const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
  for (int round = 0; round < 2000; ++round) {
    const int boxWidth = pick(0, 80);
    DisplayLineCounter counter(boxWidth, Width);
    std::u16string text;
    for (int edit = 0; edit < 20; ++edit) {
      // The filter removes from some point on, then the chunk is appended.
      std::size_t firstChange = text.size();
      if (pick(0, 2) == 0 && !text.empty()) {
        firstChange = static_cast<std::size_t>(pick(0, static_cast<int>(text.size())));
        text.erase(firstChange, static_cast<std::size_t>(pick(0, static_cast<int>(text.size() - firstChange))));
      }
      const int added = pick(0, 15);
      for (int i = 0; i < added; ++i) {
        text.push_back(alphabet[static_cast<std::size_t>(pick(0, static_cast<int>(alphabet.size()) - 1))]);
      }
      counter.Update(text, firstChange);
      ASSERT_EQ(counter.LineCount(), CountLines(text, boxWidth)) << "round " << round << " edit " << edit;
    }
  }
}

}  // namespace
