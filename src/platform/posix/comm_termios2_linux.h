#pragma once

#include <cstdint>

// Baud rates beyond the Bxxx constants. Kept apart because the kernel's termios2 cannot share
// a translation unit with <termios.h>.
namespace platform::termios2 {

// Sets both directions to `baud` bits/s as an arbitrary rate, leaving every other flag as it
// is. False when the driver refuses the request outright.
bool SetArbitraryBaud(int fd, std::uint32_t baud);

// The output rate the driver reports, in bits/s, whether it was set as Bxxx or arbitrary.
bool ReadBaud(int fd, std::uint32_t& baud);

}  // namespace platform::termios2
