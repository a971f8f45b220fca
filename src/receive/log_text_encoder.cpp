#include "receive/log_text_encoder.h"

#include "platform/text.h"

void LogTextEncoder::Append(std::u16string_view text, std::string& out) {
  std::size_t run = 0;  // start of the characters not yet written
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c != u'\r' && c != u'\n') {
      m_afterCr = false;
      continue;
    }
    out += text::ToUtf8(text.substr(run, i - run));
    run = i + 1;
    if (c == u'\n' && m_afterCr) {
      m_afterCr = false;
      continue;
    }
    out += "\r\n";
    m_afterCr = c == u'\r';
  }
  out += text::ToUtf8(text.substr(run));
}
