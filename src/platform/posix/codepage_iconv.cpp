#include "platform/codepage.h"

#include <langinfo.h>
#include <locale.h>

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <span>
#include <string>
#include <utility>

#include "platform/charset_converter.h"
#include "platform/ui_language_base.h"

namespace platform {

namespace {

constexpr unsigned kUtf8 = 65001;
constexpr unsigned kAscii = 20127;

std::atomic<unsigned> forcedCodePage{0};

std::string_view Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// The variables that choose a locale category, strongest first.
constexpr const char* kCharsetVariables[] = {"LC_ALL", "LC_CTYPE", "LANG"};
constexpr const char* kMessagesVariables[] = {"LC_ALL", "LC_MESSAGES", "LANG"};

std::string_view FirstSet(std::span<const char* const> names) {
  for (const char* name : names) {
    if (!Env(name).empty()) return Env(name);
  }
  return {};
}

bool IsCLocale(std::string_view name) {
  return name.empty() || name == "C" || name == "POSIX" || name.starts_with("C.");
}

// "zh_CN.GBK@euro" -> "GBK".
std::string_view CharsetOfLocaleName(std::string_view name) {
  const auto dot = name.find('.');
  if (dot == std::string_view::npos) return {};
  const auto charset = name.substr(dot + 1);
  return charset.substr(0, charset.find('@'));
}

std::string LocaleCharset() {
  if (const locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr))) {
    std::string charset = nl_langinfo_l(CODESET, locale);
    freelocale(locale);
    return charset;
  }
  return std::string(CharsetOfLocaleName(FirstSet(kCharsetVariables)));
}

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Upper(a[i]) != Upper(b[i])) return false;
  }
  return true;
}

// The language base a locale name settles ("zh_TW.UTF-8" -> 200), or -1.
int BaseOfLocaleName(std::string_view name) {
  const auto languageEnd = name.find_first_of("_-.@");
  if (!EqualsNoCase(name.substr(0, languageEnd), "zh")) return -1;
  if (languageEnd == std::string_view::npos || (name[languageEnd] != '_' && name[languageEnd] != '-')) return -1;
  auto territory = name.substr(languageEnd + 1);
  territory = territory.substr(0, territory.find_first_of(".@"));
  for (std::string_view simplified : {"CN", "SG"}) {
    if (EqualsNoCase(territory, simplified)) return ui_language::kSimplified;
  }
  for (std::string_view traditional : {"TW", "HK", "MO"}) {
    if (EqualsNoCase(territory, traditional)) return ui_language::kTraditional;
  }
  return -1;
}

// The messages locale; gettext ignores LANGUAGE while that locale is C.
std::string_view MessagesLocaleName() {
  const std::string_view locale = FirstSet(kMessagesVariables);
  if (IsCLocale(locale)) return locale;
  std::string_view languages = Env("LANGUAGE");
  while (!languages.empty()) {
    const auto colon = languages.find(':');
    const auto first = languages.substr(0, colon);
    if (!first.empty()) return first;
    languages = colon == std::string_view::npos ? std::string_view() : languages.substr(colon + 1);
  }
  return locale;
}

}  // namespace

unsigned GetACP() {
  if (const unsigned forced = forcedCodePage.load()) return forced;
  // Loading a locale can take a tenth of a millisecond, so the answer is kept for as long
  // as the variables that choose the locale stay the same.
  static std::mutex mutex;
  static std::string readUnder;
  static unsigned codePage = 0;
  std::string variables;
  for (const char* name : kCharsetVariables) variables.append(Env(name)).push_back('\0');
  const std::lock_guard lock(mutex);
  if (codePage == 0 || variables != readUnder) {
    codePage = CharsetConverter::CodePageOfCharset(LocaleCharset());
    if (codePage == 0 || codePage == kAscii) codePage = kUtf8;
    readUnder = std::move(variables);
  }
  return codePage;
}

void SetACPForTesting(unsigned codePage) { forcedCodePage.store(codePage); }

int UiLanguageBase() {
  if (const unsigned forced = forcedCodePage.load()) return ui_language::BaseOfCodePage(forced);
  if (const int base = BaseOfLocaleName(MessagesLocaleName()); base >= 0) return base;
  return ui_language::BaseOfCodePage(GetACP());
}

}  // namespace platform
