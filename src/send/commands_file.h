#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "send/command.h"

// The commands file (Commands.ini, and the files Import and Export use): a [Sequence]
// section with Delay and Repeat, and a [Commands] section with one command a line,
//   1=Name|Text|CR LF|As send box|AT+GMR
// name, Text or Hex, line end, append, then the text (the rest of the line). "\\", "\|",
// "\r" and "\n" stand for a backslash, a bar and the line breaks; another backslash stays.
struct SequenceSettings {
  int delayMs = 100;
  int repeat = 1;  // 0: until stopped
};

struct CommandsText {
  std::vector<Command> commands;
  SequenceSettings sequence;
  // The lines that are neither commands, settings, sections, comments nor blank: their
  // numbers (from 1) and their text, which a rewrite keeps as comments.
  std::vector<int> skippedLines;
  std::vector<std::u16string> skippedText;
};

CommandsText ParseCommands(std::u16string_view text);
std::u16string FormatCommands(std::span<const Command> commands, SequenceSettings sequence,
                              std::span<const std::u16string> keptAsComments = {});

enum class CommandsFileState { Read, Missing, Unreadable };
struct CommandsFileRead {
  CommandsFileState state = CommandsFileState::Missing;
  CommandsText text;
};
// A file larger than 1 MiB, or one that is no text, is unreadable: no list grows so.
CommandsFileRead ReadCommandsFile(const std::filesystem::path& file);
// Atomically: the file holds the old list or the new one, never part of either.
bool WriteCommandsFile(const std::filesystem::path& file, std::u16string_view text);
