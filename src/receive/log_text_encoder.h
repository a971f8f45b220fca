#pragma once

#include <string>
#include <string_view>

// The view's text as a text log holds it: UTF-8, every line break (CR LF, a lone LF, a lone
// CR) written as CR LF. A CR at the end of one piece and an LF at the start of the next are
// one line break.
class LogTextEncoder {
 public:
  void Append(std::u16string_view text, std::string& out);
  void Reset() { m_afterCr = false; }

 private:
  bool m_afterCr = false;
};
