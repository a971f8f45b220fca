#pragma once

#include <string>
#include <string_view>

#include "platform/win32/win32_api.h"

// The program's UTF-16 text and the wide strings of the Win32 calls share their code units,
// so both ways are copies; the copy also gives the calls their terminating zero.
inline std::wstring ToWide(std::u16string_view text) {
  return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

inline std::u16string ToU16(std::wstring_view text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text.data()), text.size());
}

// The whole text of a window or control; empty for none.
inline std::u16string WindowText(HWND window) {
  if (!window) return {};
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return ToU16(text);
}
