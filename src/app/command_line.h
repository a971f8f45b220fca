#pragma once

#include <optional>
#include <span>
#include <string>

// What the program was started with: `tarvolm [--open] [PORT]`, `--version` or `--help`.
struct CommandLine {
  enum class Action { Run, ShowVersion, ShowHelp, Refuse };
  Action action = Action::Run;
  std::u16string port;  // shown in the port box at start; empty: the one stored
  bool open = false;    // opened at start, with the stored line settings
  std::u16string error;  // Refuse: what was wrong, one line
};

// The arguments after the program's own name, as the system gave them.
CommandLine ParseCommandLine(std::span<const std::u16string> arguments);

// What to print, and where, instead of starting the window.
struct CommandLineReply {
  std::u16string text;  // ends with a line break
  bool error = false;   // for standard error rather than standard output
  int exitCode = 0;
};

// The reply for --version, --help or a refused line; none when the window is to start.
std::optional<CommandLineReply> ReplyTo(const CommandLine& commandLine);
