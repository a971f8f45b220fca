#pragma once

#include <array>

// How the bytes of a code page are laid out, learnt once per code page from the system's
// converter; it picks the fastest safe way to convert.
namespace platform {

struct CodePageLayout {
  enum class Kind {
    Utf8,            // converted by hand
    SingleByte,      // one byte, one UTF-16 unit: `byteToUnit` decodes
    AsciiMultiByte,  // bytes below 0x80 at a character start are ASCII; the rest is converted
    Other,           // stateful or not ASCII-based: everything goes through the converter
  };

  Kind kind = Kind::Other;
  std::array<char16_t, 256> byteToUnit{};  // SingleByte only; U+FFFD for an unused byte

  // Built on first use and kept for the life of the process; safe from any thread.
  static const CodePageLayout& Of(unsigned codePage);
};

}  // namespace platform
