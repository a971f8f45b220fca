// Bytes from a device arrive in pieces cut anywhere: decoding them piece by piece must give
// the text of one decode of the whole, in every code page.
#include "fuzz/code_pages.h"
#include "fuzz/fuzz_input.h"
#include "platform/codepage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  const unsigned codePage = fuzz::CodePage(input.Byte());
  fuzz::Chunking chunking(input.Byte() | input.Byte() << 8);
  const std::string_view bytes = input.Rest();
  const auto* at = reinterpret_cast<const std::uint8_t*>(bytes.data());

  const std::u16string whole = platform::MultiByteToWide(codePage, at, bytes.size());
  platform::MultiByteDecoder decoder(codePage);
  std::u16string pieces;
  for (std::size_t done = 0; done < bytes.size();) {
    const std::size_t piece = std::min(chunking.Next(), bytes.size() - done);
    decoder.Append(at + done, piece, pieces);
    done += piece;
  }
  decoder.Flush(pieces);
  FUZZ_CHECK(pieces == whole);
  return 0;
}
