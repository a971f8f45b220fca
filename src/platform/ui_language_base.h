#pragma once

// The string-table offsets of the three UI languages, and the one each code page implies.
// Shared by the code-page services of every platform.
namespace platform::ui_language {

inline constexpr int kEnglish = 0;
inline constexpr int kSimplified = 100;
inline constexpr int kTraditional = 200;

constexpr int BaseOfCodePage(unsigned codePage) {
  if (codePage == 936) return kSimplified;
  if (codePage == 950) return kTraditional;
  return kEnglish;
}

}  // namespace platform::ui_language
