#pragma once

#include <optional>
#include <string>

#include "send/frame_ending.h"

// A saved command: what it sends and how its frame ends. An ending left empty follows the
// send box's lists at the moment it is sent.
struct Command {
  std::u16string name;
  std::u16string text;
  bool hex = false;
  std::optional<LineEnd> lineEnd;
  std::optional<AppendCheck> check;

  bool operator==(const Command&) const = default;
};

inline FrameEnding EndingOf(const Command& command, FrameEnding sendBox) {
  return {command.lineEnd.value_or(sendBox.lineEnd), command.check.value_or(sendBox.check)};
}
