#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Where the program lives and where its settings file goes.
namespace platform {

// The folder of the running executable, without a trailing separator except at the root.
std::u16string ExecutableDirectory();

// The separator the program puts between a folder and a file name.
char16_t PathSeparator();

// The settings file named fileName: beside the executable (appDir + separator + fileName)
// when appDir is a folder we can write in (on POSIX, one outside /usr); otherwise
// $XDG_CONFIG_HOME/tarvolm/fileName, or ~/.config/tarvolm/fileName (Windows:
// %APPDATA%\Tarvolm\fileName), with the folder created. Never throws.
std::filesystem::path SettingsFilePath(std::u16string_view appDir, std::u16string_view fileName);

}  // namespace platform
