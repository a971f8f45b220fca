#pragma once

#include <cstdint>
#include <string>

// The hexadecimal form of received bytes: two upper-case digits per byte, and with
// addSpace one space after every pair, the last one included. No line breaks.
void AppendHex(const std::uint8_t* data, int count, bool addSpace, std::u16string& out);

// The two upper-case digits of `value`.
const char16_t* HexPairOf(std::uint8_t value);

// The same form as a fresh string; "" for nCount <= 0.
std::u16string BytesToHexStr(const std::uint8_t* pData, int nCount, bool bAddSpace);
