#include "app/command_line.h"

#include "tarvolm_version.h"

namespace {

constexpr char16_t kUsage[] =
    u"Usage: tarvolm [--open] [PORT]\n"
    u"       tarvolm --version | --help\n"
    u"\n"
    u"A serial-port terminal. PORT goes into the port box at start (ttyUSB0, /dev/ttyUSB0,\n"
    u"or COM3 on Windows); without it the port used last is there.\n"
    u"\n"
    u"  --open       open the port at start, with the line settings used last\n"
    u"  --version    print the version and exit\n"
    u"  -h, --help   print this help and exit\n";

CommandLine Only(CommandLine::Action action) {
  CommandLine line;
  line.action = action;
  return line;
}

CommandLine Refused(std::u16string error) {
  CommandLine refused = Only(CommandLine::Action::Refuse);
  refused.error = u"tarvolm: " + std::move(error) + u" (tarvolm --help lists the options)";
  return refused;
}

}  // namespace

CommandLine ParseCommandLine(std::span<const std::u16string> arguments) {
  CommandLine line;
  bool optionsEnded = false;
  for (const std::u16string& argument : arguments) {
    if (!optionsEnded && argument.starts_with(u'-')) {
      if (argument == u"--") {
        optionsEnded = true;
      } else if (argument == u"--version") {
        return Only(CommandLine::Action::ShowVersion);
      } else if (argument == u"--help" || argument == u"-h") {
        return Only(CommandLine::Action::ShowHelp);
      } else if (argument == u"--open") {
        line.open = true;
      } else {
        return Refused(u"unknown option '" + argument + u"'");
      }
    } else if (!argument.empty()) {
      if (!line.port.empty()) return Refused(u"one port at most, not '" + line.port + u"' and '" + argument + u"'");
      line.port = argument;
    }
  }
  return line;
}

std::optional<CommandLineReply> ReplyTo(const CommandLine& commandLine) {
  switch (commandLine.action) {
    case CommandLine::Action::Run:
      return std::nullopt;
    case CommandLine::Action::ShowVersion:
      return CommandLineReply{u"Tarvolm " TARVOLM_VERSION u"\n"};
    case CommandLine::Action::ShowHelp:
      return CommandLineReply{kUsage};
    case CommandLine::Action::Refuse:
      return CommandLineReply{commandLine.error + u"\n", true, 2};
  }
  return std::nullopt;
}
