// A text file sent in pieces: its mark checked as the file send checks it, then converted
// piece by piece. Wherever the pieces are cut, the bytes sent must be the whole file decoded,
// each "\r\n" reduced to "\n" twice over, and encoded again.
#include "fuzz/code_pages.h"
#include "fuzz/fuzz_input.h"
#include "platform/codepage.h"
#include "platform/text.h"
#include "send/file_text_converter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  const unsigned codePage = fuzz::CodePage(input.Byte());
  fuzz::Chunking chunking(input.Byte() | input.Byte() << 8);
  std::string_view file = input.Rest();
  if (file.starts_with("\xEF\xBB") || file.starts_with("\xFE\xFF")) return 0;  // refused before sending
  const bool utf16 = file.starts_with("\xFF\xFE");
  if (utf16) file.remove_prefix(2);
  const auto* at = reinterpret_cast<const std::uint8_t*>(file.data());

  std::u16string text = utf16 ? fuzz::Utf16(file) : platform::MultiByteToWide(codePage, at, file.size());
  if (utf16 && file.size() % 2) text += u'\uFFFD';
  for (int pass = 0; pass < 2; ++pass) text = text::ReplaceAll(text, u"\r\n", u"\n");
  const std::string expected = platform::WideToMultiByte(codePage, text);

  FileTextConverter converter(utf16 ? FileEncoding::Utf16Le : FileEncoding::CodePage, codePage);
  std::string sent;
  std::string piece;
  for (std::size_t done = 0; done < file.size();) {
    const std::size_t length = std::min(chunking.Next(), file.size() - done);
    converter.Convert(at + done, length, piece);
    sent += piece;
    done += length;
  }
  converter.Finish(piece);
  sent += piece;
  FUZZ_CHECK(sent == expected);
  return 0;
}
