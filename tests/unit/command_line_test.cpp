#include "app/command_line.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/text.h"
#include "tarvolm_version.h"

namespace {

CommandLine Parse(std::vector<std::u16string> arguments) { return ParseCommandLine(arguments); }

TEST(CommandLine, APortAndOpenInAnyOrderStartTheWindow) {
  struct Case {
    std::vector<std::u16string> arguments;
    std::u16string port;
    bool open;
  };
  const Case cases[] = {
      {{}, u"", false},
      {{u"/dev/ttyUSB0"}, u"/dev/ttyUSB0", false},
      {{u"COM3", u"--open"}, u"COM3", true},
      {{u"--open", u"ttyACM0"}, u"ttyACM0", true},
      {{u"--open"}, u"", true},  // the stored port
      {{u"--", u"-odd name"}, u"-odd name", false},
      {{u"--open", u"--", u"--version"}, u"--version", true},
      {{u"", u"COM4"}, u"COM4", false},  // an empty argument names nothing
  };
  for (const Case& c : cases) {
    const CommandLine line = ParseCommandLine(c.arguments);
    const std::string shown = c.arguments.empty() ? "(none)" : text::ToUtf8(c.arguments.front());
    EXPECT_EQ(line.action, CommandLine::Action::Run) << shown;
    EXPECT_EQ(line.port, c.port) << shown;
    EXPECT_EQ(line.open, c.open) << shown;
    EXPECT_FALSE(ReplyTo(line)) << shown;
  }
}

TEST(CommandLine, VersionAndHelpPrintToStandardOutputAndSucceed) {
  const auto version = ReplyTo(Parse({u"--version"}));
  ASSERT_TRUE(version);
  EXPECT_EQ(text::ToUtf8(version->text), std::string("Tarvolm ") + TARVOLM_VERSION + "\n");
  EXPECT_FALSE(version->error);
  EXPECT_EQ(version->exitCode, 0);

  for (const char16_t* option : {u"--help", u"-h"}) {
    const auto help = ReplyTo(Parse({u"COM3", option, u"--no-such-option"}));  // the first that decides wins
    ASSERT_TRUE(help);
    EXPECT_TRUE(help->text.starts_with(u"Usage: tarvolm [--open] [PORT]\n")) << text::ToUtf8(help->text);
    for (const char16_t* listed : {u"--open", u"--version", u"--help"}) {
      EXPECT_NE(help->text.find(listed), std::u16string::npos) << text::ToUtf8(listed);
    }
    EXPECT_FALSE(help->error);
    EXPECT_EQ(help->exitCode, 0);
  }
}

TEST(CommandLine, WhatItDoesNotKnowIsOneLineOnStandardErrorAndExitTwo) {
  struct Case {
    std::vector<std::u16string> arguments;
    std::u16string named;  // the argument the message must name
  };
  const Case cases[] = {
      {{u"--bogus"}, u"'--bogus'"},
      {{u"COM3", u"-x"}, u"'-x'"},
      {{u"--open=yes"}, u"'--open=yes'"},
      {{u"-"}, u"'-'"},
      {{u"--bogus", u"--version"}, u"'--bogus'"},  // refused before --version is seen
      {{u"COM3", u"COM4"}, u"'COM4'"},
  };
  for (const Case& c : cases) {
    const CommandLine line = ParseCommandLine(c.arguments);
    const std::string shown = text::ToUtf8(c.named);
    EXPECT_EQ(line.action, CommandLine::Action::Refuse) << shown;
    const auto reply = ReplyTo(line);
    ASSERT_TRUE(reply) << shown;
    EXPECT_TRUE(reply->error) << shown;
    EXPECT_EQ(reply->exitCode, 2) << shown;
    EXPECT_TRUE(reply->text.starts_with(u"tarvolm: ")) << text::ToUtf8(reply->text);
    EXPECT_EQ(reply->text.find(u'\n'), reply->text.size() - 1) << text::ToUtf8(reply->text);
    EXPECT_NE(reply->text.find(c.named), std::u16string::npos) << text::ToUtf8(reply->text);
  }
}

}  // namespace
