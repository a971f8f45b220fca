#pragma once

#include <string_view>

// The encodings the user can choose for the port's text, by the names the settings file
// stores and the list shows ("System" is shown translated). Each is a code page by its
// Windows number; System is whichever the locale (on Windows the system) uses.
namespace platform {

struct TextEncoding {
  std::u16string_view name;
  unsigned codePage;  // 0 for System

  // The code page to convert with now.
  unsigned CodePage() const;
  bool operator==(const TextEncoding&) const = default;
};

inline constexpr TextEncoding kTextEncodings[] = {
    {u"System", 0},         {u"UTF-8", 65001},      {u"GB18030", 54936},
    {u"Big5", 950},         {u"Shift_JIS", 932},    {u"EUC-KR", 51949},
    {u"ISO-8859-1", 28591}, {u"Windows-1252", 1252}, {u"KOI8-R", 20866},
};

// The encoding stored as `name`; System for a name that is none of them.
TextEncoding TextEncodingNamed(std::u16string_view name);

}  // namespace platform
