#pragma once

#include <cstdint>

#include "platform/comm.h"

// What every system's CommPort::SetState decides the same way: which lines cannot exist, and
// whether what the driver reports back is what was asked for.
namespace platform::line_rules {

// False, with the first impossible setting, for a line no UART can have: baud 0 (a hang-up),
// data bits outside 5..8, an unknown parity, 1.5 stop bits without 5 data bits or 2 with 5,
// an unknown flow control.
inline bool IsPossibleLine(const CommState& s, CommSetting& refused) {
  if (s.baudRate == 0) {
    refused = CommSetting::BaudRate;
  } else if (s.byteSize < 5 || s.byteSize > 8) {
    refused = CommSetting::ByteSize;
  } else if (s.parity > 4) {
    refused = CommSetting::Parity;
  } else if (!(s.stopBits == 0 || (s.stopBits == 1 && s.byteSize == 5) || (s.stopBits == 2 && s.byteSize != 5))) {
    refused = CommSetting::StopBits;
  } else if (s.flowControl != FlowControl::None && s.flowControl != FlowControl::RtsCts &&
             s.flowControl != FlowControl::XonXoff) {
    refused = CommSetting::FlowControl;
  } else {
    return true;
  }
  return false;
}

// Within 1%: the error any UART tolerates, so a driver reporting its divisor's real rate passes.
inline bool BaudTaken(std::uint32_t requested, std::uint32_t actual) {
  const auto difference = static_cast<std::uint64_t>(requested > actual ? requested - actual : actual - requested);
  return difference * 100 <= requested;
}

// The first setting the device holds differently from the request; None when all took.
inline CommSetting FirstNotTaken(const CommState& wanted, const CommState& actual) {
  if (!BaudTaken(wanted.baudRate, actual.baudRate)) return CommSetting::BaudRate;
  if (actual.byteSize != wanted.byteSize) return CommSetting::ByteSize;
  if (actual.parity != wanted.parity) return CommSetting::Parity;
  if (actual.stopBits != wanted.stopBits) return CommSetting::StopBits;
  if (actual.flowControl != wanted.flowControl) return CommSetting::FlowControl;
  return CommSetting::None;
}

}  // namespace platform::line_rules
