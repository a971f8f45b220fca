#pragma once

#include <array>
#include <cstdint>

// The code pages a locale can bring the program (by the names the converter maps), and the
// Windows ones the same tables serve, and GB18030 from the Encoding list; the first byte of
// an input picks one.
namespace fuzz {
constexpr std::array<unsigned, 35> kCodePages = {
    65001, 20127, 936,   950,   932,   949,   874,   20866, 21866, 20932, 51949, 28591,
    28592, 28593, 28594, 28595, 28596, 28597, 28598, 28599, 28603, 28605, 1250,  1251,
    1252,  1253,  1254,  1255,  1256,  1257,  1258,  437,   850,   866, 54936};
inline unsigned CodePage(std::uint8_t pick) { return kCodePages[pick % kCodePages.size()]; }
}  // namespace fuzz
