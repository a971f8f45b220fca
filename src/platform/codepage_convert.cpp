#include "platform/codepage.h"

namespace platform {

std::u16string MultiByteToWide(unsigned codePage, const std::uint8_t* data, std::size_t size) {
  MultiByteDecoder decoder(codePage);
  std::u16string text;
  decoder.Append(data, size, text);
  decoder.Flush(text);
  return text;
}

std::string WideToMultiByte(unsigned codePage, std::u16string_view text) {
  WideEncoder encoder(codePage);
  std::string bytes;
  encoder.Append(text, bytes);
  encoder.Flush(bytes);
  return bytes;
}

bool IsCodePageAvailable(unsigned codePage) {
  return codePage == 65001 || CharsetConverter(codePage, CharsetConverter::Direction::ToUtf16).IsOpen();
}

}  // namespace platform
