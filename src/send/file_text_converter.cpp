#include "send/file_text_converter.h"

#include <algorithm>

namespace {
// A "\n" takes away at most this many "\r" right before it: one per reduction pass.
constexpr std::size_t kReturnsEatenByLineFeed = 2;
constexpr char16_t kReplacement = u'\uFFFD';
}  // namespace

FileTextConverter::FileTextConverter(FileEncoding encoding, unsigned codePage)
    : m_encoding(encoding), m_decoder(codePage), m_encoder(codePage) {}

void FileTextConverter::Convert(const std::uint8_t* data, std::size_t size, std::string& out) {
  m_text.clear();
  Decode(data, size);
  ReduceLineEnds(false);
  out.clear();
  m_encoder.Append(m_reduced, out);
}

void FileTextConverter::Finish(std::string& out) {
  m_text.clear();
  if (m_encoding == FileEncoding::CodePage) m_decoder.Flush(m_text);
  if (m_oddByte >= 0) m_text += kReplacement;
  m_oddByte = -1;
  ReduceLineEnds(true);
  out.clear();
  m_encoder.Append(m_reduced, out);
  m_encoder.Flush(out);
}

void FileTextConverter::Decode(const std::uint8_t* data, std::size_t size) {
  if (m_encoding == FileEncoding::CodePage) {
    m_decoder.Append(data, size, m_text);
    return;
  }
  std::size_t i = 0;
  if (m_oddByte >= 0 && size > 0) {
    m_text += static_cast<char16_t>(m_oddByte | (data[0] << 8));
    m_oddByte = -1;
    i = 1;
  }
  for (; i + 1 < size; i += 2) m_text += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
  if (i < size) m_oddByte = data[i];
}

// One pass does what the two whole-text replacements do: a run of "\r" before a "\n" loses its
// last two.
void FileTextConverter::ReduceLineEnds(bool end) {
  m_reduced.clear();
  std::size_t returns = m_heldReturns;
  for (const char16_t c : m_text) {
    if (c == u'\r') {
      ++returns;
      continue;
    }
    if (c == u'\n') returns = returns > kReturnsEatenByLineFeed ? returns - kReturnsEatenByLineFeed : 0;
    m_reduced.append(returns, u'\r');
    m_reduced += c;
    returns = 0;
  }
  m_heldReturns = end ? 0 : std::min(returns, kReturnsEatenByLineFeed);
  m_reduced.append(returns - m_heldReturns, u'\r');
}
