#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>

#include "platform/codepage.h"

namespace {

// iconv leaves the five unused bytes of 1252 undefined; Windows maps them to C1 controls.
TEST(CodePageTest, UnusedBytesOfASingleByteCodePageAreReplaced) {
  const std::uint8_t bytes[] = {'a', 0x81, 'b'};
  EXPECT_EQ(platform::MultiByteToWide(1252, bytes, sizeof bytes), u"a\uFFFDb");
}

// glibc's 1255 keeps a letter back until it knows whether a point follows to combine with.
TEST(CodePageTest, ALetterKeptBackForAPointStaysAheadOfTheTextAfterItHoweverTheBytesAreCut) {
  const std::uint8_t bytes[] = {0xE9, 'A', 0xEE, 0xC8, ' '};  // yod, A, mem with patah
  const std::u16string whole = platform::MultiByteToWide(1255, bytes, sizeof bytes);
  EXPECT_EQ(whole.substr(0, 2), u"\u05D9A");
  platform::MultiByteDecoder decoder(1255);
  std::u16string pieces;
  for (const std::uint8_t byte : bytes) decoder.Append(&byte, 1, pieces);
  decoder.Flush(pieces);
  EXPECT_EQ(pieces, whole);
}

class LocaleTest : public testing::Test {
 protected:
  static constexpr const char* kNames[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LC_CTYPE", "LANG"};

  void SetUp() override {
    for (const char* name : kNames) {
      if (const char* value = std::getenv(name)) saved_[name] = value;
      unsetenv(name);
    }
    platform::SetACPForTesting(0);
  }
  void TearDown() override {
    platform::SetACPForTesting(0);
    for (const char* name : kNames) {
      if (saved_.count(name)) {
        setenv(name, saved_[name].c_str(), 1);
      } else {
        unsetenv(name);
      }
    }
  }
  static std::string Describe(std::initializer_list<std::pair<const char*, const char*>> variables) {
    std::string text;
    for (const auto& [name, value] : variables) text += std::string(name) + "=" + value + " ";
    return text;
  }
  void Set(std::initializer_list<std::pair<const char*, const char*>> variables) {
    for (const char* name : kNames) unsetenv(name);
    for (const auto& [name, value] : variables) setenv(name, value, 1);
  }

 private:
  std::map<std::string, std::string> saved_;
};

TEST_F(LocaleTest, CodePageFollowsTheLocaleCharacterSet) {
  const struct {
    std::initializer_list<std::pair<const char*, const char*>> env;
    unsigned codePage;
  } cases[] = {
      {{{"LANG", "zh_CN.GBK"}}, 936},
      {{{"LANG", "zh_CN.GB18030"}}, 936},
      {{{"LANG", "zh_TW.BIG5"}}, 950},
      {{{"LANG", "zh_HK.BIG5-HKSCS"}}, 950},
      {{{"LANG", "en_US.ISO-8859-1"}}, 28591},
      {{{"LANG", "de_DE.CP1252"}}, 1252},
      {{{"LANG", "en_US.UTF-8"}}, 65001},
      {{{"LANG", "C"}}, 65001},
      {{}, 65001},
      {{{"LANG", "zh_CN.GBK"}, {"LC_CTYPE", "zh_TW.BIG5"}}, 950},
      {{{"LC_CTYPE", "zh_TW.BIG5"}, {"LC_ALL", "en_US.UTF-8"}}, 65001},
  };
  for (const auto& c : cases) {
    Set(c.env);
    EXPECT_EQ(platform::GetACP(), c.codePage) << Describe(c.env);
  }
  platform::SetACPForTesting(1252);
  EXPECT_EQ(platform::GetACP(), 1252u);
}

TEST_F(LocaleTest, UiLanguageFollowsTheMessagesLocaleThenTheCodePage) {
  const struct {
    std::initializer_list<std::pair<const char*, const char*>> env;
    int base;
  } cases[] = {
      {{{"LANG", "zh_CN.UTF-8"}}, 100},
      {{{"LANG", "zh_SG.UTF-8"}}, 100},
      {{{"LANG", "zh_TW.UTF-8"}}, 200},
      {{{"LANG", "zh_HK"}}, 200},
      {{{"LANG", "zh_MO.UTF-8"}}, 200},
      {{{"LANG", "en_US.UTF-8"}}, 0},
      {{{"LANG", "ja_JP.UTF-8"}}, 0},
      {{{"LANG", "C"}, {"LC_CTYPE", "zh_CN.GBK"}}, 100},  // no language name: the code page decides
      {{{"LANG", "C"}, {"LC_CTYPE", "zh_TW.BIG5"}}, 200},
      {{{"LANG", "en_US.UTF-8"}, {"LC_ALL", "zh_TW.UTF-8"}}, 200},
      {{{"LANG", "zh_CN.UTF-8"}, {"LC_MESSAGES", "en_US.UTF-8"}}, 0},
      {{{"LANG", "en_US.UTF-8"}, {"LANGUAGE", ":zh_TW:en"}}, 200},
      {{{"LANG", "C"}, {"LANGUAGE", "zh_TW"}}, 0},  // gettext ignores LANGUAGE under C
  };
  for (const auto& c : cases) {
    Set(c.env);
    EXPECT_EQ(platform::UiLanguageBase(), c.base) << Describe(c.env);
  }
}

TEST_F(LocaleTest, ForcedCodePageAloneDecidesTheLanguage) {
  Set({{"LANG", "zh_CN.UTF-8"}});
  platform::SetACPForTesting(950);
  EXPECT_EQ(platform::UiLanguageBase(), 200);
  platform::SetACPForTesting(1252);
  EXPECT_EQ(platform::UiLanguageBase(), 0);
  platform::SetACPForTesting(936);
  Set({{"LANG", "en_US.UTF-8"}});
  EXPECT_EQ(platform::UiLanguageBase(), 100);
}

}  // namespace
