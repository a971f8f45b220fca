#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// One direction of conversion between a code page and UTF-16 (native byte order), done by
// the system's converter. Used behind the code-page service; callers outside platform/ use
// codepage.h.
namespace platform {

class CharsetConverter {
 public:
  enum class Direction { ToUtf16, FromUtf16 };
  // Why a conversion call returned; `in` then points at the sequence concerned.
  enum class Stop { Done, Invalid, Incomplete };

  // A code page the system cannot convert gives a converter that is not open; every
  // sequence it sees is then Invalid.
  CharsetConverter(unsigned codePage, Direction direction);
  ~CharsetConverter();
  CharsetConverter(CharsetConverter&& other) noexcept;
  CharsetConverter& operator=(CharsetConverter&& other) noexcept;
  CharsetConverter(const CharsetConverter&) = delete;
  CharsetConverter& operator=(const CharsetConverter&) = delete;

  bool IsOpen() const;

  // Appends what converts and advances `in` past it.
  Stop Decode(const std::uint8_t*& in, const std::uint8_t* end, std::u16string& out);
  Stop Encode(const char16_t*& in, const char16_t* end, std::string& out);

  // Appends whatever the converter still holds (a shift sequence back to the initial state,
  // or a character kept back to be combined with the next one).
  void Finish(std::u16string& out);
  void Finish(std::string& out);

  void Reset();  // back to the initial state, dropping anything held

  // The code page a character-set name stands for ("GBK", "utf8", "ISO-8859-1",
  // "windows-1252", "CP437"); 0 when the name has none.
  static unsigned CodePageOfCharset(std::string_view name);

 private:
  void* handle_;  // the system converter's state; iconv_t (-1 when not open) or Win32 (null)
};

}  // namespace platform
