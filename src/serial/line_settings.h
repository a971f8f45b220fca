#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "platform/comm.h"

// The line settings as the four setting boxes give them: the baud rate as a number, the
// others as typed (the boxes take any text).
struct LineSettingTexts {
  int baudRate = 0;
  std::u16string parity;
  std::u16string dataBits;
  std::u16string stopBits;
  platform::FlowControl flowControl = platform::FlowControl::None;  // chosen from a list, never typed
};

// The line those texts ask for. Each setting is read from its own piece of text: the parity
// from its first letter (n none, o odd, m mark, s space, anything else even), the data bits
// as a number, the stop bits "1", "2", or anything else one and a half. Commas in the texts
// and empty texts shift the pieces as the settings string "9600,N,8,1" that the first
// version of the program built did: the pieces are the non-empty comma-separated parts, in
// order, of the baud rate, the parity's first letter, the data bits and the stop bits; an
// empty parity text ends the pieces after the baud rate.
struct LineRequest {
  platform::CommState state;
  // Fewer than three pieces: no line can be asked for; `missing` says which setting lacks.
  bool complete = false;
  platform::CommSetting missing = platform::CommSetting::None;
  // The piece each setting was read from, for the message that names a refused one; the
  // flow control's is its name.
  std::array<std::u16string, 5> pieces;
  const std::u16string& PieceOf(platform::CommSetting setting) const;
};
LineRequest RequestedLine(const LineSettingTexts& texts);

// The names the settings file stores and the Flow list shows: "None", "RTS/CTS", "XON/XOFF".
std::u16string_view FlowControlName(platform::FlowControl flow);
std::optional<platform::FlowControl> FlowControlNamed(std::u16string_view name);
inline constexpr platform::FlowControl kFlowControls[] = {
    platform::FlowControl::None, platform::FlowControl::RtsCts, platform::FlowControl::XonXoff};

// The string id of the label that names a setting in messages ("Baud", "Datab" ...).
int SettingLabel(platform::CommSetting setting);
