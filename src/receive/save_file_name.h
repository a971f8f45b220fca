#pragma once

#include <string>

#include "platform/local_time.h"

// The name proposed for saved receive text: "CR 2024-3-7 9-5-2" for 9:05:02 on 7 March 2024.
std::u16string SaveFileName(const platform::LocalTime& time);
