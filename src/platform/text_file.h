#pragma once

#include <optional>
#include <string>
#include <string_view>

// The program's own text files beside the settings (the saved commands): the bytes a text
// is stored as, by the settings file's encoding rules, and the text that stored bytes hold.
// POSIX: UTF-8 (a byte-order mark is skipped). Windows: written as UTF-16 with its mark and
// CR LF line ends, so any text fits; read as UTF-16 or UTF-8 by their marks, else in the
// ANSI code page.
namespace platform {

// `text` has "\n" line ends.
std::string TextFileBytes(std::u16string_view text);
// Nullopt when the bytes are no text in the encodings the platform reads.
std::optional<std::u16string> TextOfFileBytes(std::string_view bytes);

}  // namespace platform
