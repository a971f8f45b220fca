#pragma once

#include <string>
#include <string_view>

#include "platform/local_time.h"

// The name proposed for a session log: "tarvolm-ttyUSB0-20240307-090502.log" for the port
// /dev/ttyUSB0 (or ttyUSB0, or COM3) at 9:05:02 on 7 March 2024. What a file name cannot
// hold becomes "-".
std::u16string LogFileName(std::u16string_view port, const platform::LocalTime& time);
