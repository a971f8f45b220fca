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

// Creates file/section/key as needed, replaces the value otherwise and keeps every other
// section and key in its order. A value that reading would change (surrounding blanks,
// surrounding quotes) is written in quotes, and a value with line breaks in the escaped form
// of profile_line_breaks.h, so each reads back exactly. Returns false, changing nothing,
// when it cannot write or when a name or value cannot be stored (NUL; line breaks, '=' or
// a leading '[' or ';' in a key; line breaks or ']' in a section).
// POSIX: other lines and comments stay byte for byte with the file's line-end style, and
// the file is replaced atomically (temporary file + rename) keeping mode and owner.
// Windows: the system's profile calls write the file; a new file is made UTF-16 so any
// text fits, and an older ANSI file refuses (false) a text its code page cannot hold.
bool WritePrivateProfileString(std::u16string_view section, std::u16string_view key,
                               std::u16string_view value, const std::filesystem::path& file);

// Why a settings file that exists cannot be used as one; None when it can, or when there
// is none yet. Larger than 1 MiB counts as too large: no settings file grows so.
enum class ProfileProblem { None, NotAFile, Unreadable, TooLarge, NotText };
ProfileProblem CheckProfileFile(const std::filesystem::path& file);
// Whether the backend reads these bytes of a settings file as the text they hold.
bool IsProfileText(std::string_view bytes);
// Marks the file hidden where the platform has such an attribute.
void SetFileHidden(const std::filesystem::path& file);

}  // namespace platform
