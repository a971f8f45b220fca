#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/charset_converter.h"

namespace platform {

struct CodePageLayout;

// Turns bytes of a code page into UTF-16 piece by piece: the unfinished tail of a
// multi-byte character is kept for the next call, so a character cut by a chunk boundary
// comes out whole. Every byte takes part (0x00 gives U+0000); what can never become a
// character gives U+FFFD and the text after it is kept.
class MultiByteDecoder {
 public:
  explicit MultiByteDecoder(unsigned codePage);

  // Appends the text of `data` to `out`.
  void Append(const std::uint8_t* data, std::size_t size, std::u16string& out);
  // Ends the input: a carried tail gives U+FFFD.
  void Flush(std::u16string& out);
  // Drops the carried tail.
  void Reset();

 private:
  void DecodeUtf8(const std::uint8_t* data, std::size_t size, std::u16string& out);
  void DecodeSingleByte(const std::uint8_t* data, std::size_t size, std::u16string& out) const;
  void DecodeAsciiMultiByte(const std::uint8_t* data, std::size_t size, std::u16string& out);
  // Converts [data, end) whole, carrying an unfinished character only when `end` is
  // the end of the input seen so far.
  void DecodeConverted(const std::uint8_t* data, const std::uint8_t* end, bool endsInput, std::u16string& out);
  void Carry(const std::uint8_t* data, std::size_t size);

  const CodePageLayout* layout_;
  std::optional<CharsetConverter> converter_;  // for the code pages not converted by hand
  std::vector<std::uint8_t> tail_;             // unfinished character
  std::vector<std::uint8_t> joined_;           // tail + next piece, kept to reuse its memory
};

}  // namespace platform
