#include "platform/codepage.h"

#include <atomic>

#include "platform/win32_api.h"

namespace platform {

namespace {

constexpr unsigned kSimplifiedChinese = 936;
constexpr unsigned kTraditionalChinese = 950;
constexpr int kEnglishBase = 0;
constexpr int kSimplifiedBase = 100;
constexpr int kTraditionalBase = 200;

std::atomic<unsigned> forcedCodePage{0};

int BaseOfCodePage(unsigned codePage) {
  if (codePage == kSimplifiedChinese) return kSimplifiedBase;
  if (codePage == kTraditionalChinese) return kTraditionalBase;
  return kEnglishBase;
}

// The language base a display language settles, or -1. The script-only languages
// zh-Hans and zh-Hant count as well as the regional ones.
int BaseOfUiLanguage(LANGID language) {
  if (language == 0x0004) return kSimplifiedBase;    // zh-Hans
  if (language == 0x7C04) return kTraditionalBase;  // zh-Hant
  if (PRIMARYLANGID(language) != LANG_CHINESE) return -1;
  switch (SUBLANGID(language)) {
    case SUBLANG_CHINESE_SIMPLIFIED:
    case SUBLANG_CHINESE_SINGAPORE:
      return kSimplifiedBase;
    case SUBLANG_CHINESE_TRADITIONAL:
    case SUBLANG_CHINESE_HONGKONG:
    case SUBLANG_CHINESE_MACAU:
      return kTraditionalBase;
    default:
      return -1;
  }
}

}  // namespace

unsigned GetACP() {
  if (const unsigned forced = forcedCodePage.load()) return forced;
  return ::GetACP();
}

void SetACPForTesting(unsigned codePage) { forcedCodePage.store(codePage); }

// A Chinese display language wins over the code page: a Chinese Windows set to the UTF-8
// code page, or with a Western one for old programs, still gets Chinese captions.
int UiLanguageBase() {
  if (const unsigned forced = forcedCodePage.load()) return BaseOfCodePage(forced);
  if (const int base = BaseOfUiLanguage(::GetUserDefaultUILanguage()); base >= 0) return base;
  return BaseOfCodePage(GetACP());
}

}  // namespace platform
