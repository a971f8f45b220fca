#pragma once

#include <cstdint>
#include <string_view>

// Reads `text` as hexadecimal byte pairs: characters 2i and 2i+1 give byte i, read as the C
// library reads a signed base-16 number (leading white space, one sign, digits up to the
// first other character; a pair without a digit gives 0) and cut to its low 8 bits, so
// "-1" gives 0xFF, " 7" 0x07, "7Z" 0x07 and "Z7" 0x00. The text ends at its first U+0000.
// `count`: on entry the most bytes to produce (`out` holds at least that many), on return
// the number produced.
void HexStrToBytes(std::u16string_view text, std::uint8_t* out, int& count);
