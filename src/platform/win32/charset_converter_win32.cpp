#include "platform/charset_converter.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string>
#include <utility>

#include "platform/win32/win32_api.h"

#include <mlang.h>

namespace platform {

namespace {

using Stop = CharsetConverter::Stop;

constexpr unsigned kUtf8 = 65001;
constexpr unsigned kGb18030 = 54936;

// How the bytes of a code page make up one character, so that a block handed to the
// system never ends inside one.
enum class Walk {
  SingleByte,
  LeadByte,  // double-byte code pages: a lead byte takes the byte after it
  Utf8,
  Gb18030,   // a lead byte takes one byte, or three when a digit follows it
  Whole,     // stateful code pages: only the whole input is one piece
};

// Code pages whose conversions take no flags: they cannot report invalid input.
bool TakesNoFlags(unsigned codePage) {
  return (codePage >= 50220 && codePage <= 50229) || (codePage >= 57002 && codePage <= 57011) ||
         codePage == 65000 || codePage == 42;
}

struct System {
  unsigned codePage = 0;
  Walk walk = Walk::SingleByte;
  DWORD decodeFlags = MB_ERR_INVALID_CHARS;
  // WideCharToMultiByte reports a character it had to replace only where it accepts
  // WC_NO_BEST_FIT_CHARS; best fit would quietly send another character instead.
  DWORD encodeFlags = WC_NO_BEST_FIT_CHARS;
  bool reportsDefault = true;
  std::array<bool, 256> leadByte{};
};

System* Open(unsigned codePage) {
  CPINFOEXW info{};
  if (codePage == 0 || !::IsValidCodePage(codePage) || !::GetCPInfoExW(codePage, 0, &info)) return nullptr;
  auto* system = new System;
  system->codePage = codePage;
  if (TakesNoFlags(codePage)) {
    system->walk = Walk::Whole;
    system->decodeFlags = 0;
    system->encodeFlags = 0;
    system->reportsDefault = false;
  } else if (codePage == kUtf8 || codePage == kGb18030) {
    system->walk = codePage == kUtf8 ? Walk::Utf8 : Walk::Gb18030;
    system->encodeFlags = WC_ERR_INVALID_CHARS;
    system->reportsDefault = false;
  } else if (info.MaxCharSize > 1) {
    system->walk = Walk::LeadByte;
    for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2) {
      for (unsigned byte = info.LeadByte[i]; byte <= info.LeadByte[i + 1]; ++byte) system->leadByte[byte] = true;
    }
  }
  return system;
}

// The bytes of the character that starts at `at`; more than are left when it is unfinished.
std::size_t CharacterLength(const System& system, const std::uint8_t* at, const std::uint8_t* end) {
  const std::uint8_t lead = *at;
  switch (system.walk) {
    case Walk::SingleByte:
      return 1;
    case Walk::LeadByte:
      return system.leadByte[lead] ? 2 : 1;
    case Walk::Utf8:
      return lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 1;
    case Walk::Gb18030:
      if (lead < 0x81 || lead > 0xFE) return 1;
      return end - at > 1 && at[1] >= 0x30 && at[1] <= 0x39 ? 4 : 2;
    case Walk::Whole:
      break;
  }
  return static_cast<std::size_t>(end - at);
}

std::size_t CharacterLength(const System& system, const char16_t* at, const char16_t* end) {
  if (system.walk == Walk::Whole) return static_cast<std::size_t>(end - at);
  return *at >= 0xD800 && *at <= 0xDBFF && (end - at == 1 || (at[1] >= 0xDC00 && at[1] <= 0xDFFF)) ? 2 : 1;
}

// Appends the text of one block, or nothing when the block holds what the code page lacks.
bool AppendConverted(const System& system, const std::uint8_t* from, const std::uint8_t* to, std::u16string& out) {
  const auto* in = reinterpret_cast<const char*>(from);
  const int size = static_cast<int>(to - from);
  const std::size_t old = out.size();
  int room = size + 8;
  out.resize(old + static_cast<std::size_t>(room));
  int got = ::MultiByteToWideChar(system.codePage, system.decodeFlags, in, size,
                                  reinterpret_cast<wchar_t*>(out.data() + old), room);
  if (got == 0 && ::GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
    room = ::MultiByteToWideChar(system.codePage, system.decodeFlags, in, size, nullptr, 0);
    out.resize(old + static_cast<std::size_t>(room));
    got = ::MultiByteToWideChar(system.codePage, system.decodeFlags, in, size,
                                reinterpret_cast<wchar_t*>(out.data() + old), room);
  }
  out.resize(old + static_cast<std::size_t>(std::max(got, 0)));
  return got > 0;
}

bool AppendConverted(const System& system, const char16_t* from, const char16_t* to, std::string& out) {
  const auto* in = reinterpret_cast<const wchar_t*>(from);
  const int size = static_cast<int>(to - from);
  const std::size_t old = out.size();
  BOOL usedDefault = FALSE;
  BOOL* reportDefault = system.reportsDefault ? &usedDefault : nullptr;
  int room = size * 2 + 8;
  out.resize(old + static_cast<std::size_t>(room));
  int got = ::WideCharToMultiByte(system.codePage, system.encodeFlags, in, size, out.data() + old, room, nullptr,
                                  reportDefault);
  if (got == 0 && ::GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
    room = ::WideCharToMultiByte(system.codePage, system.encodeFlags, in, size, nullptr, 0, nullptr, reportDefault);
    out.resize(old + static_cast<std::size_t>(room));
    got = ::WideCharToMultiByte(system.codePage, system.encodeFlags, in, size, out.data() + old, room, nullptr,
                                reportDefault);
  }
  const bool ok = got > 0 && !usedDefault;
  out.resize(old + static_cast<std::size_t>(ok ? got : 0));
  return ok;
}

// The system converts whole buffers and only says whether all of a buffer converted, so
// the input goes in blocks of whole characters: a block that converts doubles the next,
// one that fails is halved, and a failing single character is the one to report. A bad
// character costs a few calls, never a retry of everything after it.
template <class Unit, class Text>
Stop Convert(const System& system, const Unit*& in, const Unit* end, Text& out) {
  constexpr std::size_t kFirstBlock = 64;
  constexpr std::size_t kLargestBlock = std::size_t(1) << 20;  // keeps byte counts within int
  std::size_t characters = kFirstBlock;
  while (in < end) {
    const Unit* blockEnd = in;
    std::size_t taken = 0;
    while (taken < characters && blockEnd < end) {
      const std::size_t length = CharacterLength(system, blockEnd, end);
      if (length > static_cast<std::size_t>(end - blockEnd)) break;
      blockEnd += length;
      ++taken;
    }
    if (taken == 0) return Stop::Incomplete;
    if (AppendConverted(system, in, blockEnd, out)) {
      in = blockEnd;
      characters = std::min(characters * 2, kLargestBlock);
    } else if (taken == 1) {
      return Stop::Invalid;
    } else {
      characters = taken / 2;
    }
  }
  return Stop::Done;
}

// mingw's import libraries lack the interface's id; both ids are spelt here alike.
constexpr CLSID kCMultiLanguage = {0x275C23E2, 0x3747, 0x11D0, {0x9F, 0xEA, 0x00, 0xAA, 0x00, 0x3F, 0x86, 0x46}};
constexpr IID kIMultiLanguage = {0x275C23E1, 0x3747, 0x11D0, {0x9F, 0xEA, 0x00, 0xAA, 0x00, 0x3F, 0x86, 0x46}};

// COM on this thread for as long as a lookup lasts; a thread that already has its own
// apartment keeps it.
class ComScope {
 public:
  ComScope() : result_(::CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(result_)) ::CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  HRESULT result_;
};

}  // namespace

CharsetConverter::CharsetConverter(unsigned codePage, Direction) : handle_(Open(codePage)) {}

CharsetConverter::~CharsetConverter() { delete static_cast<System*>(handle_); }

CharsetConverter::CharsetConverter(CharsetConverter&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)) {}

CharsetConverter& CharsetConverter::operator=(CharsetConverter&& other) noexcept {
  std::swap(handle_, other.handle_);
  return *this;
}

bool CharsetConverter::IsOpen() const { return handle_ != nullptr; }

Stop CharsetConverter::Decode(const std::uint8_t*& in, const std::uint8_t* end, std::u16string& out) {
  if (in == end) return Stop::Done;
  if (!IsOpen()) return Stop::Invalid;
  return Convert(*static_cast<const System*>(handle_), in, end, out);
}

Stop CharsetConverter::Encode(const char16_t*& in, const char16_t* end, std::string& out) {
  if (in == end) return Stop::Done;
  if (!IsOpen()) return Stop::Invalid;
  return Convert(*static_cast<const System*>(handle_), in, end, out);
}

// Every block is converted whole, shift sequences included, so nothing is ever held.
void CharsetConverter::Finish(std::u16string&) {}
void CharsetConverter::Finish(std::string&) {}
void CharsetConverter::Reset() {}

// Numbered names (CP437, windows-874, IBM850) and utf8 are read here, as the system's table
// lacks many of those spellings; every other name goes to that table, the one browsers use.
unsigned CharsetConverter::CodePageOfCharset(std::string_view name) {
  if (name.empty() || name.size() > 64) return 0;
  std::string key;
  std::wstring wide;
  for (char c : name) {
    if (static_cast<unsigned char>(c) >= 0x80 || c == '\0') return 0;  // names are ASCII
    wide.push_back(static_cast<wchar_t>(c));
    if (c != '-' && c != '_' && c != ' ') key.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
  }
  if (key == "UTF8") return kUtf8;
  for (std::string_view prefix : {"CP", "WINDOWS", "IBM", "MS"}) {
    if (!key.starts_with(prefix) || key.size() == prefix.size()) continue;
    unsigned number = 0;
    const char* last = key.data() + key.size();
    const auto [end, error] = std::from_chars(key.data() + prefix.size(), last, number);
    if (error == std::errc() && end == last) return ::IsValidCodePage(number) ? number : 0;
  }

  const ComScope com;
  IMultiLanguage* languages = nullptr;
  if (FAILED(::CoCreateInstance(kCMultiLanguage, nullptr, CLSCTX_INPROC_SERVER, kIMultiLanguage,
                                reinterpret_cast<void**>(&languages)))) {
    return 0;
  }
  MIMECSETINFO info{};
  BSTR charset = ::SysAllocString(wide.c_str());
  const bool found = charset != nullptr && SUCCEEDED(languages->GetCharsetInfo(charset, &info));
  ::SysFreeString(charset);
  languages->Release();
  return found ? info.uiInternetEncoding : 0;
}

}  // namespace platform
