#pragma once

#include <string>
#include <string_view>
#include <vector>

// A text in the script of each encoding the user can choose, with its bytes in that
// encoding as the encoding's tables give them.
namespace testsupport {

struct EncodedSample {
  std::u16string_view encoding;  // as the Encoding list names it
  std::string bytes;
  std::u16string text;
};

inline const std::vector<EncodedSample>& EncodedSamples() {
  static const std::vector<EncodedSample> samples = {
    {u"UTF-8", "A\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80z", u"Aé中😀z"},
    {u"GB18030", "\xCE\xC2\xB6\xC8\xA1\xE6\xD6\xD0\xCE\xC4\x81" "0\x8B" "7\x94" "9\xFC" "6", u"温度℃中文ÿ😀"},
    {u"Big5", "\xA4\xA4\xA4\xE5\xB4\xFA\xB8\xD5\xA2J", u"中文測試℃"},
    {u"Shift_JIS", "\x93\xFA\x96{\x8C\xEA\xC3\xBD\xC4", u"日本語ﾃｽﾄ"},
    {u"EUC-KR", "\xC7\xD1\xB1\xB9\xBE\xEE \xC5\xD7\xBD\xBA\xC6\xAE", u"한국어 테스트"},
    {u"ISO-8859-1", "caf\xE9 \xFF \xA9", u"café ÿ ©"},
    {u"Windows-1252", "caf\xE9 \x80 \xFF", u"café € ÿ"},
    {u"KOI8-R", "\xF0\xD2\xC9\xD7\xC5\xD4, \xCD\xC9\xD2", u"Привет, мир"},
  };
  return samples;
}

}  // namespace testsupport
