#pragma once

#include <filesystem>
#include <string_view>

namespace platform {

// Gives `file` exactly `bytes` as its content so that it never holds part of either: the
// bytes go to a fresh temporary file in the target's folder, reach the disk, and the
// temporary then takes the target's place. A symbolic link stays a link and its target is
// what is replaced; an existing file keeps its permissions (POSIX: mode, and owner when
// run as root; Windows: attributes and security). False when that fails, with the old
// content in place and no temporary file left behind.
bool ReplaceFileContent(const std::filesystem::path& file, std::string_view bytes);

}  // namespace platform
