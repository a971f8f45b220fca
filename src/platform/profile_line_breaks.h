#pragma once

#include <optional>
#include <string>
#include <string_view>

// Settings values with line breaks. A value is one line of the file, so a value holding CR
// or LF is stored, quotes included, as
//
//     "\lines{<text>}"
//
// where <text> is the value with each backslash written \\, each CR \r and each LF \n.
// Earlier writers never wrote this: they quoted a value only when it began or ended with a
// blank or was itself in quotes, and the text inside these quotes does neither. And only
// this exact form, well made and holding a line break, reads as one: anything else (the
// same text without the quotes, a Windows path with \n in it, a stray backslash) reads as
// it always did.
namespace platform::profile_line_breaks {

bool HasLineBreak(std::u16string_view value);

// The stored form of a value, quotes included.
std::u16string Escape(std::u16string_view value);

// The value that the text between a stored value's double quotes stands for, or nothing
// when it is not the stored form of a value with line breaks.
std::optional<std::u16string> Unescape(std::u16string_view quoted);

}  // namespace platform::profile_line_breaks
