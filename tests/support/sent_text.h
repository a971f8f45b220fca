#pragma once

#include <string>
#include <string_view>

#include "platform/codepage.h"
#include "platform/text.h"

namespace testsupport {

// What a text goes out as, worked out the plain way on the whole text: every "\r\n" reduced
// to "\n" twice over, then the code page's bytes. Piece-wise conversions must agree with it.
inline std::string SentText(unsigned codePage, std::u16string_view text) {
  const auto once = text::ReplaceAll(text, u"\r\n", u"\n");
  return platform::WideToMultiByte(codePage, text::ReplaceAll(once, u"\r\n", u"\n"));
}

}  // namespace testsupport
