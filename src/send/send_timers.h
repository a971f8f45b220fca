#pragma once

#include "platform/window_messages.h"

// The main dialog's timers on the send side.
inline constexpr UINT_PTR TIMER_AUTOSEND = 2;  // repeats the Send command
inline constexpr UINT_PTR TIMER_CHECKSUM = 3;  // keeps the checksum label in step with the selection
inline constexpr UINT kChecksumPeriodMs = 200;
inline constexpr UINT_PTR TIMER_SEQUENCE = 17;  // the next step of a running command sequence
