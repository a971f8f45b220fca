#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "receive/hex_format.h"
#include "receive/receive_filter.h"

namespace {

using Conditions = std::vector<std::u16string>;

// The receive text as the dialog keeps it: each chunk is appended, then filtered.
struct ReceiveText {
  std::u16string text;
  ReceiveFilter filter;

  std::size_t Receive(std::u16string_view chunk, const Conditions& conditions) {
    const std::size_t oldLength = text.size();
    text += chunk;
    return filter.Apply(text, oldLength, conditions);
  }
  void ReceiveUnfiltered(std::u16string_view chunk) {
    text += chunk;
    filter.Reset();
  }
};

// Whole-text passes, the definition the filter must match.
std::u16string RemoveAll(const std::u16string& text, const std::u16string& condition) {
  if (condition.empty()) {
    return text;
  }
  std::u16string out;
  std::size_t from = 0;
  for (std::size_t found; (found = text.find(condition, from)) != std::u16string::npos;) {
    out.append(text, from, found - from);
    from = found + condition.size();
  }
  out.append(text, from);
  return out;
}

std::u16string ReferencePasses(std::u16string text, const Conditions& conditions) {
  for (const auto& condition : conditions) {
    text = RemoveAll(text, condition);
  }
  return text;
}

TEST(ReceiveFilter, RemovesOnlyTheMatchingCharacters) {
  ReceiveText rx;
  rx.Receive(u"AT\r\n", {u"OK", u"ERR"});
  EXPECT_EQ(rx.Receive(u"OK\r\nERR 5\r\n", {u"OK", u"ERR"}), 4u);
  EXPECT_EQ(rx.text, u"AT\r\n\r\n 5\r\n");
}

TEST(ReceiveFilter, ConditionSplitAcrossChunksIsRemovedWithTheSecond) {
  ReceiveText rx;
  EXPECT_EQ(rx.Receive(u"xxO", {u"OK"}), 0u);
  EXPECT_EQ(rx.text, u"xxO");
  EXPECT_EQ(rx.Receive(u"Kyy", {u"OK"}), 2u);
  EXPECT_EQ(rx.text, u"xxyy");
}

TEST(ReceiveFilter, OnePassPerConditionPerChunk) {
  ReceiveText rx;
  rx.Receive(u"OOKK", {u"OK"});
  EXPECT_EQ(rx.text, u"OK");  // the join made by the pass is searched by the next chunk's
  EXPECT_EQ(rx.Receive(u"z", {u"OK"}), 0u);
  EXPECT_EQ(rx.text, u"z");
}

TEST(ReceiveFilter, CaseSensitive) {
  ReceiveText rx;
  rx.Receive(u"OK ok", {u"ok"});
  EXPECT_EQ(rx.text, u"OK ");
}

TEST(ReceiveFilter, HexTextWithAndWithoutSpace) {
  ReceiveText spaced;
  const std::uint8_t first[] = {0x41, 0x0D};
  const std::uint8_t second[] = {0x0A, 0x42, 0x0D, 0x0A};
  spaced.Receive(BytesToHexStr(first, 2, true), {u"0D 0A "});
  spaced.Receive(BytesToHexStr(second, 4, true), {u"0D 0A "});
  EXPECT_EQ(spaced.text, u"41 42 ");

  ReceiveText packed;
  const std::uint8_t straddling[] = {0x10, 0xD0, 0xA5};
  packed.Receive(BytesToHexStr(straddling, 3, false), {u"0D0A"});
  EXPECT_EQ(packed.text, u"15");
}

TEST(ReceiveFilter, EachConditionWorksOnThePreviousResult) {
  ReceiveText rx;  // typed as "a, b": the second condition starts with the space
  rx.Receive(u"a b", {u"a", u" b"});
  EXPECT_EQ(rx.text, u"");
}

TEST(ReceiveFilter, EmptyConditionsRemoveNothing) {
  ReceiveText rx;
  rx.Receive(u"a,b", {u"a", u"", u"b"});
  EXPECT_EQ(rx.text, u",");
  EXPECT_EQ(rx.Receive(u"xy", {u""}), 1u);
  EXPECT_EQ(rx.text, u",xy");
  rx.Receive(u"z", {});
  EXPECT_EQ(rx.text, u",xyz");
}

TEST(ReceiveFilter, WholeTextIsSearchedWhenTheConditionsOrFilteringChange) {
  ReceiveText rx;
  rx.Receive(u"OK1", {u"ERR"});
  EXPECT_EQ(rx.Receive(u"2", {u"OK"}), 0u);
  EXPECT_EQ(rx.text, u"12");

  rx.ReceiveUnfiltered(u"3OK");
  EXPECT_EQ(rx.text, u"123OK");
  EXPECT_EQ(rx.Receive(u"4", {u"OK"}), 3u);
  EXPECT_EQ(rx.text, u"1234");

  rx.text.clear();  // Clear Receive
  rx.filter.Reset();
  rx.Receive(u"OK", {u"OK"});
  EXPECT_EQ(rx.text, u"");
}

TEST(ReceiveFilter, ManyMatchesAndCharactersOutsideTheBasicPlane) {
  ReceiveText rx;
  std::u16string zeros(500, u'\0');
  rx.Receive(zeros, {std::u16string(1, u'\0')});
  EXPECT_EQ(rx.text, u"");
  const std::u16string smile = u"\U0001F600";
  rx.Receive(u"a" + smile + u"b" + smile.substr(0, 1), {smile});
  rx.Receive(smile.substr(1) + u"c", {smile});
  EXPECT_EQ(rx.text, u"abc");
}

TEST(ReceiveFilter, OldLengthBeyondTheTextIsClamped) {
  ReceiveFilter filter;
  std::u16string text = u"xOKx";
  EXPECT_EQ(filter.Apply(text, 99, {u"OK"}), 1u);
  EXPECT_EQ(text, u"xx");
}

// Random chunks, conditions and interruptions, compared after every chunk with whole-text
// passes; the reported first change must leave the text before it untouched.
class FilterScenario {
 public:
  explicit FilterScenario(std::uint32_t seed) : m_random(seed) {
    // U+0000 and a lone high surrogate must be plain characters to the filter.
    m_alphabet = {u'a', u'b', u'c', u'\0', u'\xD83D'};
    std::shuffle(m_alphabet.begin(), m_alphabet.end(), m_random);
    m_alphabet.resize(static_cast<std::size_t>(Between(1, 4)));
  }

  // Returns an empty string when every chunk matched, else what went wrong.
  std::string Run() {
    Conditions conditions = MakeConditions();
    ReceiveText rx;
    std::u16string expected;
    std::ostringstream log;
    const int chunks = Between(1, 12);
    for (int i = 0; i < chunks; ++i) {
      if (Chance(10)) {
        conditions = MakeConditions();
        log << " [new conditions]";
      }
      if (Chance(5)) {
        rx.text.clear();
        rx.filter.Reset();
        expected.clear();
        log << " [cleared]";
      }
      const std::u16string chunk = MakeString(Chance(10) ? Between(1, 60) : Between(1, 12));
      log << " chunk " << Show(chunk);
      if (Chance(10)) {
        rx.ReceiveUnfiltered(chunk);
        expected += chunk;
        log << " (unfiltered)";
        continue;
      }
      const std::u16string before = rx.text;
      const std::size_t firstChange = rx.Receive(chunk, conditions);
      expected = ReferencePasses(expected + chunk, conditions);
      if (rx.text != expected) {
        return Describe(conditions, log.str()) + " -> got " + Show(rx.text) + ", want " + Show(expected);
      }
      if (firstChange > before.size() || rx.text.compare(0, firstChange, before, 0, firstChange) != 0) {
        return Describe(conditions, log.str()) + " -> first change " + std::to_string(firstChange) + " is wrong";
      }
    }
    return {};
  }

 private:
  int Between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_random); }
  bool Chance(int percent) { return Between(1, 100) <= percent; }

  std::u16string MakeString(int length) {
    std::u16string s;
    for (int i = 0; i < length; ++i) {
      s.push_back(m_alphabet[static_cast<std::size_t>(Between(0, static_cast<int>(m_alphabet.size()) - 1))]);
    }
    return s;
  }

  Conditions MakeConditions() {
    Conditions conditions;
    const int count = Between(1, 3);
    for (int i = 0; i < count; ++i) {
      if (i > 0 && Chance(15)) {
        conditions.push_back(conditions[static_cast<std::size_t>(Between(0, i - 1))]);
      } else {
        conditions.push_back(MakeString(Chance(10) ? 0 : Between(1, 5)));
      }
    }
    return conditions;
  }

  static std::string Show(const std::u16string& s) {
    std::string out = "\"";
    for (char16_t c : s) {
      out += c == u'\0' ? std::string("0") : c == u'\xD83D' ? std::string("S") : std::string(1, static_cast<char>(c));
    }
    return out + "\"";
  }

  static std::string Describe(const Conditions& conditions, const std::string& log) {
    std::string out = "conditions";
    for (const auto& c : conditions) {
      out += " " + Show(c);
    }
    return out + ":" + log;
  }

  std::mt19937 m_random;
  std::vector<char16_t> m_alphabet;
};

TEST(ReceiveFilter, MatchesWholeTextPassesOnRandomChunks) {
  constexpr std::uint32_t kCases = 100000;
  for (std::uint32_t seed = 1; seed <= kCases; ++seed) {
    const std::string failure = FilterScenario(seed).Run();
    ASSERT_TRUE(failure.empty()) << "seed " << seed << ": " << failure;
  }
}

}  // namespace
