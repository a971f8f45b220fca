#pragma once

#include <string>
#include <string_view>

namespace platform {

// The group a user must join to open the port: the port's device refuses this process, its
// group may read and write it, and the process is not in that group (on Debian the serial
// devices belong to `dialout`). Its name, or its number when it has none; empty when the
// port is refused for another reason or not at all. Windows has no such groups: always
// empty.
std::u16string GroupToJoinFor(std::u16string_view portName);

}  // namespace platform
