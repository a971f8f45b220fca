#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The Windows resource script of the program, generated from the data in res/ so the
// native build has no hand-kept copy of the templates or the strings. UTF-8 text for
// windres: both dialog templates, their initial combo lists, the string table in every
// language, the icon, the manifest and the version. The two paths are written as given.
std::string ResourceScript(std::string_view iconPath, std::string_view manifestPath);

// Layout of the initial combo lists in the script, shared with their loader: a resource
// of this type under the dialog's id holding records of (control id WORD, message WORD,
// byte count DWORD, that many bytes: the item in UTF-8, NUL-terminated, padded to a
// WORD), ended by a control id of 0.
inline constexpr int kDialogInitResourceType = 240;     // RT_DLGINIT
inline constexpr std::uint16_t kDialogInitAddString = 0x0403;  // CB_ADDSTRING as 16-bit Windows numbered it
