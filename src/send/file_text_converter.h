#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/codepage.h"

// How the bytes of a text file read: in the code page, or as UTF-16 little-endian after its
// byte order mark.
enum class FileEncoding { CodePage, Utf16Le };

// Turns a text file, fed in pieces, into the bytes sent for it: the text in the code page with
// every "\r\n" reduced to "\n" twice over, as the Send command does ("\r\r\n" ends as "\n").
// Where the pieces are cut never changes the result: an unfinished character, UTF-16 unit or
// surrogate pair, and up to two "\r" that a "\n" may still follow, wait for the next piece.
class FileTextConverter {
 public:
  FileTextConverter(FileEncoding encoding, unsigned codePage);

  // Sets `out` to the bytes of this piece that are ready to send.
  void Convert(const std::uint8_t* data, std::size_t size, std::string& out);
  // Ends the file: sets `out` to what was still waiting. An unfinished character becomes the
  // code page's replacement.
  void Finish(std::string& out);
  // The characters the code page lacked, sent as '?'.
  const platform::WideEncoder::Replaced& Replaced() const { return m_encoder.ReplacedSoFar(); }

 private:
  void Decode(const std::uint8_t* data, std::size_t size);
  // Moves m_text, with the held "\r" in front, to m_reduced; holds the trailing "\r" again
  // unless `end`.
  void ReduceLineEnds(bool end);

  const FileEncoding m_encoding;
  platform::MultiByteDecoder m_decoder;
  platform::WideEncoder m_encoder;
  int m_oddByte = -1;  // first byte of a UTF-16 unit cut by the end of a piece
  std::size_t m_heldReturns = 0;
  std::u16string m_text;
  std::u16string m_reduced;
};
