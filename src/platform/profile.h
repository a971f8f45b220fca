#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// The settings file: an INI text file read and written with the rules of the platform's
// private-profile calls, so files stay interchangeable with the Windows build.
namespace platform {

// Missing file/section/key -> defaultValue; present but empty -> empty. Section and key names
// are compared case-insensitively (ASCII); blanks around names and values are trimmed, and
// one pair of matching quotes around a value is removed. Values of any length are read in
// full. Only the first section of a name is searched; a key before any section belongs to
// none.
std::u16string GetPrivateProfileString(std::u16string_view section, std::u16string_view key,
                                       std::u16string_view defaultValue,
                                       const std::filesystem::path& file);

// Creates file/section/key as needed, replaces the value otherwise, keeps every other line,
// section, key, comment and their order byte for byte, and the file's line-end style.
// A value that reading would change (surrounding blanks, surrounding quotes) is written
// in quotes, so it reads back exactly. Written atomically: temporary file in the same
// folder + rename, so a crash never leaves half a file; mode and owner are kept where
// allowed. Returns false, changing nothing, when it cannot write or when a name or value
// cannot be stored as one line (line breaks, NUL, '=' or a leading '[' or ';' in a key,
// ']' in a section).
bool WritePrivateProfileString(std::u16string_view section, std::u16string_view key,
                               std::u16string_view value, const std::filesystem::path& file);

// Marks the file hidden where the platform has such an attribute.
void SetFileHidden(const std::filesystem::path& file);

}  // namespace platform
