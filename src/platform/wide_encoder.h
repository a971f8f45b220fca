#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/charset_converter.h"

namespace platform {

struct CodePageLayout;

// Turns UTF-16 into bytes of a code page piece by piece; a high surrogate that ends one
// piece is kept for the next. A character the code page cannot hold, and a lone
// surrogate, become '?' (U+FFFD in UTF-8), and are counted.
class WideEncoder {
 public:
  explicit WideEncoder(unsigned codePage);

  // The characters sent as '?' since the encoder was made.
  struct Replaced {
    std::size_t count = 0;
    char32_t first = 0;
  };
  const Replaced& ReplacedSoFar() const { return replaced_; }

  // Appends the bytes of `text` to `out`.
  void Append(std::u16string_view text, std::string& out);
  // Ends the text: a kept high surrogate becomes '?', and a code page with shift states
  // returns to its initial state.
  void Flush(std::string& out);
  // Drops a kept high surrogate and any shift state.
  void Reset();

 private:
  void EncodeAsciiBased(std::u16string_view text, std::string& out);
  void EncodeConverted(const char16_t* text, const char16_t* end, std::string& out);
  void Replace(char32_t character, std::string& out);

  const CodePageLayout* layout_;
  std::optional<CharsetConverter> converter_;  // for the code pages not converted by hand
  char16_t heldHighSurrogate_ = 0;
  Replaced replaced_;
  std::u16string joined_;  // held surrogate + next piece, kept to reuse its memory
};

}  // namespace platform
