#include "platform/codepage.h"

#include <atomic>

#include "platform/ui_language_base.h"
#include "platform/win32/win32_api.h"

namespace platform {

namespace {


std::atomic<unsigned> forcedCodePage{0};

// The language base a display language settles, or -1. The script-only languages
// zh-Hans and zh-Hant count as well as the regional ones.
int BaseOfUiLanguage(LANGID language) {
  if (language == 0x0004) return ui_language::kSimplified;    // zh-Hans
  if (language == 0x7C04) return ui_language::kTraditional;  // zh-Hant
  if (PRIMARYLANGID(language) != LANG_CHINESE) return -1;
  switch (SUBLANGID(language)) {
    case SUBLANG_CHINESE_SIMPLIFIED:
    case SUBLANG_CHINESE_SINGAPORE:
      return ui_language::kSimplified;
    case SUBLANG_CHINESE_TRADITIONAL:
    case SUBLANG_CHINESE_HONGKONG:
    case SUBLANG_CHINESE_MACAU:
      return ui_language::kTraditional;
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
  if (const unsigned forced = forcedCodePage.load()) return ui_language::BaseOfCodePage(forced);
  if (const int base = BaseOfUiLanguage(::GetUserDefaultUILanguage()); base >= 0) return base;
  return ui_language::BaseOfCodePage(GetACP());
}

}  // namespace platform
