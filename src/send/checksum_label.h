#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The XOR and the 8-bit sum the checksum label shows.
struct ByteChecksums {
  std::uint8_t xorValue = 0;
  std::uint8_t sum = 0;
};

// Of the hexadecimal pairs of the send box, or of its selection when one is made
// (selection ends in either order, clamped to the text). Unlike Send, line breaks stay and
// take part in the pairing.
ByteChecksums ChecksumsOfHexText(std::u16string text, int selectionStart, int selectionEnd, bool ignoreSpace);
// "CRC xor:5a  add:3c"
std::u16string ChecksumLabel(const ByteChecksums& sums);
