#include <thread>

#include "platform/text.h"
#include "unit/profile_fixture.h"

namespace {

namespace fs = std::filesystem;

TEST_F(ProfileTest, DefaultOnlyForWhatIsMissing) {
  EXPECT_EQ(Get(u"COMPORT", u"COM1"), u"COM1");  // no file

  WriteBytes(ini_, "Interval=5\n[Other]\nParity=ODD\n[Setting]\nBaudRate=\nEmpty=  \n");
  EXPECT_EQ(Get(u"BaudRate", u"9600"), u"");
  EXPECT_EQ(Get(u"Empty", u"x"), u"");
  EXPECT_EQ(Get(u"Parity", u"NONE"), u"NONE");      // in another section
  EXPECT_EQ(Get(u"Interval", u"1000"), u"1000");    // before any section
  EXPECT_EQ(Get(u"x", u"d", u"Missing"), u"d");
  EXPECT_EQ(Get(u"x", u" padded default "), u" padded default ");
}

TEST_F(ProfileTest, NamesIgnoreCaseAndBlanksAndValuesLoseOneQuotePair) {
  WriteBytes(ini_,
             "  [ sETTING ]  \r\n  comport \t=  COM3  \r\nFilter=\"a, b\"\r\nPath='/tmp/'\r\n"
             "Odd=\"x'\r\nDup=first\r\n[setting]\r\nDup=second\r\n");
  EXPECT_EQ(Get(u"COMPORT"), u"COM3");
  EXPECT_EQ(Get(u" ComPort "), u"COM3");
  EXPECT_EQ(Get(u"Filter"), u"a, b");
  EXPECT_EQ(Get(u"Path"), u"/tmp/");
  EXPECT_EQ(Get(u"Odd"), u"\"x'");
  EXPECT_EQ(Get(u"Dup"), u"first");
}

TEST_F(ProfileTest, ValuesRoundTripWhateverTheirLengthOrText) {
  const std::u16string values[] = {std::u16string(1999, u'a'), std::u16string(10000, u'b'), u"接收过滤,中文",
                                   u" lead and trail ", u"\"quoted\"", u"'single'", u"", u"a=b;c[d]"};
  for (const auto& value : values) {
    ASSERT_TRUE(Put(u"Filter", value));
    EXPECT_EQ(Get(u"Filter"), value);
  }
}

TEST_F(ProfileTest, ValuesWithLineBreaksComeBackIdenticalAndStayOneLine) {
  ASSERT_TRUE(Put(u"COMPORT", u"COM1"));
  const std::u16string values[] = {u"a\nCOMPORT=COM9", u"a\rb", u"OK\r\nERR,\n\r", u"\n",
                                   u"\\r\\n \\\\ \\lines{x}\n\\", u"接收\r\n過濾", u" \"q\" \n ",
                                   u"C:\\new\\\n}", u"\n\"'"};
  for (const auto& value : values) {
    ASSERT_TRUE(Put(u"Filter", value));
    EXPECT_EQ(Get(u"Filter"), value);
  }
  EXPECT_EQ(Get(u"COMPORT"), u"COM1");  // no line of the value became a key
}

// What older files hold reads as it always did, also text that looks like the escaped form.
TEST_F(ProfileTest, OlderValuesThatLookEscapedReadAsBefore) {
  WriteBytes(ini_,
             "[Setting]\r\nBare=\\lines{a\\nb}\r\nTwice=\"\"\\lines{a\\nb}\"\"\r\n"
             "NoBreak=\"\\lines{ab}\"\r\nOther=\"\\lines{a\\tb\\n}\"\r\nSingle='\\lines{a\\nb}'\r\n"
             "Path=\"C:\\new\\\"\r\n");
  const std::pair<std::u16string_view, std::u16string_view> reads[] = {
      {u"Bare", u"\\lines{a\\nb}"},   {u"Twice", u"\"\\lines{a\\nb}\""},       {u"NoBreak", u"\\lines{ab}"},
      {u"Other", u"\\lines{a\\tb\\n}"}, {u"Single", u"\\lines{a\\nb}"}, {u"Path", u"C:\\new\\"}};
  for (const auto& [key, value] : reads) EXPECT_EQ(Get(key), value) << text::ToUtf8(key);
}

TEST_F(ProfileTest, WhatCannotBeStoredIsRefusedAndChangesNothing) {
  ASSERT_TRUE(Put(u"COMPORT", u"COM1"));
  const std::string before = ReadBytes(ini_);
  EXPECT_FALSE(Put(u"Filter", std::u16string(u"a\0b", 3)));
  EXPECT_FALSE(Put(u"a\nb", u"v"));
  EXPECT_FALSE(Put(u"a=b", u"v"));
  EXPECT_FALSE(Put(u"[x", u"v"));
  EXPECT_FALSE(Put(u" ", u"v"));
  EXPECT_FALSE(Put(u"k", u"v", u"Set]ting"));
  EXPECT_EQ(ReadBytes(ini_), before);
  EXPECT_EQ(Get(u"COMPORT"), u"COM1");
}

TEST_F(ProfileTest, WritesWhereNoFileCanBeAreRefused) {
  WriteBytes(dir_ / "plain", "not a folder");
  EXPECT_FALSE(platform::WritePrivateProfileString(u"Setting", u"k", u"v", dir_ / "plain" / "Sorvane.ini"));
  fs::create_directory(dir_ / "folder.ini");
  EXPECT_FALSE(platform::WritePrivateProfileString(u"Setting", u"k", u"v", dir_ / "folder.ini"));
  EXPECT_TRUE(fs::is_directory(dir_ / "folder.ini"));
}

TEST_F(ProfileTest, WritesFromTwoThreadsAreNotLost) {
  const auto writer = [this](char16_t prefix) {
    for (int i = 0; i < 40; ++i) Put(std::u16string(1, prefix) + text::Decimal(i), u"v");
  };
  std::thread a(writer, u'a');
  std::thread b(writer, u'b');
  a.join();
  b.join();
  for (int i = 0; i < 40; ++i) {
    EXPECT_EQ(Get(u"a" + text::Decimal(i)), u"v");
    EXPECT_EQ(Get(u"b" + text::Decimal(i)), u"v");
  }
}

}  // namespace
