#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/multibyte_decoder.h"
#include "platform/wide_encoder.h"

// Code pages: the process's "ANSI" code page, the UI language that goes with the locale,
// and conversions between code-page bytes and UTF-16. Code pages carry their Windows
// numbers (65001 UTF-8, 936 GBK, 950 Big5, 1252 Western, 28591 Latin-1, ...).
namespace platform {

// Windows: the system's ANSI code page. POSIX: the code page of the locale's character set
// (LC_ALL, LC_CTYPE, LANG). When that locale
// is not installed, the character set named in the locale name counts ("zh_CN.GBK").
// A 7-bit locale (C, POSIX) and an unknown character set read as 65001: ASCII is the
// same, and devices that talk UTF-8 still show properly.
unsigned GetACP();
// Forces GetACP (and the UI language) to `codePage`; 0 returns to the locale's.
void SetACPForTesting(unsigned codePage);

// The string-table offset of the UI language: 0 English, 100 Simplified Chinese,
// 200 Traditional Chinese. Taken from the messages locale (LANGUAGE, LC_ALL, LC_MESSAGES,
// LANG, as gettext ranks them; on Windows the user's display language): zh_CN/zh_SG 100,
// zh_TW/zh_HK/zh_MO 200; any other goes by the code page, 936 100, 950 200, else 0.
// A forced code page decides alone.
int UiLanguageBase();

// Whole-buffer conversions. Every byte takes part (0x00 gives U+0000); bytes that are no
// character give U+FFFD; a character the code page lacks gives '?'.
std::u16string MultiByteToWide(unsigned codePage, const std::uint8_t* data, std::size_t size);
std::string WideToMultiByte(unsigned codePage, std::u16string_view text);

// Whether the system can convert `codePage` (Wine lacks GB18030, for one).
bool IsCodePageAvailable(unsigned codePage);

}  // namespace platform
