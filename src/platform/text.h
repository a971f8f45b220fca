#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// UTF-16 is the program's text type (it may hold U+0000). These helpers convert at the
// edges (file names, Qt, logs) and format the few numbers the window shows.
namespace text {

std::u16string FromUtf8(std::string_view utf8);  // invalid bytes become U+FFFD
bool IsValidUtf8(std::string_view utf8);
std::string ToUtf8(std::u16string_view utf16);   // lone surrogates become U+FFFD

std::u16string Decimal(std::int64_t value);
std::u16string Decimal(std::uint64_t value);
inline std::u16string Decimal(int value) { return Decimal(static_cast<std::int64_t>(value)); }

// Two lower-case hexadecimal digits, as "%02x" prints a byte.
std::u16string HexByteLower(std::uint8_t value);

// Replaces the first "%s" (or "%d") in format by the argument.
std::u16string FormatOne(std::u16string_view format, std::u16string_view argument);

// Replaces every occurrence of `from` by `to`, left to right, without overlap.
std::u16string ReplaceAll(std::u16string_view text, std::u16string_view from, std::u16string_view to);

// Case-insensitive (ASCII and Latin letters only) prefix test, as combo searches do.
bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix);

// Parses like the platform's signed dialog-item conversion: optional white space and sign,
// then decimal digits up to the first other character; no digits gives 0 and ok=false.
int ParseInt(std::u16string_view text, bool* ok = nullptr);

}  // namespace text
