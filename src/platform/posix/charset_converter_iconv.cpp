#include "platform/charset_converter.h"

#include <iconv.h>

#include <bit>
#include <cerrno>
#include <charconv>
#include <utility>

namespace platform {

namespace {

const iconv_t kClosed = reinterpret_cast<iconv_t>(-1);

const char* const kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

// Character-set names and their Windows code pages; the first row of a code page names it
// to iconv. Chinese locales map to 936 or 950 whichever compatible set they use, since
// those are the numbers the UI language goes by; GB18030's four-byte characters then
// decode as U+FFFD. GB18030 chosen as the port's encoding is 54936, the row after: a
// locale's name still finds 936 first.
struct NamedCodePage {
  const char* name;
  unsigned codePage;
};
constexpr NamedCodePage kNames[] = {
    {"UTF-8", 65001},        {"ASCII", 20127},      {"ANSI_X3.4-1968", 20127}, {"US-ASCII", 20127},
    {"CP936", 936},          {"GBK", 936},          {"GB2312", 936},           {"GB18030", 936},
    {"EUC-CN", 936},         {"CP950", 950},        {"BIG5", 950},             {"BIG5-HKSCS", 950},
    {"CP932", 932},          {"SHIFT_JIS", 932},    {"SJIS", 932},             {"CP949", 949},
    {"UHC", 949},            {"CP874", 874},        {"TIS-620", 874},          {"KOI8-R", 20866},
    {"KOI8-U", 21866},       {"EUC-JP", 20932},     {"EUC-KR", 51949},         {"ISO-8859-13", 28603},
    {"ISO-8859-15", 28605},  {"GB18030", 54936},
};

// Upper case without separators, so "utf8", "UTF-8" and "Utf_8" compare equal.
std::string Normalized(std::string_view name) {
  std::string out;
  for (char c : name) {
    if (c == '-' || c == '_' || c == ' ') continue;
    out.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
  }
  return out;
}

// "<prefix><number>" -> number, else 0.
unsigned NumberAfter(std::string_view normalized, std::string_view prefix) {
  if (!normalized.starts_with(prefix) || normalized.size() == prefix.size()) return 0;
  unsigned value = 0;
  const auto* first = normalized.data() + prefix.size();
  const auto* last = normalized.data() + normalized.size();
  const auto [end, error] = std::from_chars(first, last, value);
  return error == std::errc() && end == last ? value : 0;
}

std::string IconvName(unsigned codePage) {
  for (const auto& row : kNames) {
    if (row.codePage == codePage) return row.name;
  }
  if (codePage >= 28591 && codePage <= 28599) return "ISO-8859-" + std::to_string(codePage - 28590);
  return "CP" + std::to_string(codePage);
}

using Stop = CharsetConverter::Stop;

// One iconv call into `out`, growing it as the converter asks for room. A null `in`
// asks the converter for what it still holds.
template <class Text>
Stop Run(iconv_t handle, char** in, std::size_t* inLeft, Text& out) {
  using Unit = typename Text::value_type;
  for (;;) {
    const std::size_t old = out.size();
    const std::size_t room = ((in ? *inLeft : 0) * 2 + 32) / sizeof(Unit);
    out.resize(old + room);
    char* to = reinterpret_cast<char*>(out.data() + old);
    std::size_t toLeft = room * sizeof(Unit);
    const std::size_t result = iconv(handle, in, inLeft, &to, &toLeft);
    const int error = errno;
    out.resize(old + room - toLeft / sizeof(Unit));
    if (result != static_cast<std::size_t>(-1)) return Stop::Done;
    if (error == E2BIG) continue;
    return error == EINVAL ? Stop::Incomplete : Stop::Invalid;
  }
}

}  // namespace

CharsetConverter::CharsetConverter(unsigned codePage, Direction direction) {
  const std::string name = IconvName(codePage);
  handle_ = direction == Direction::ToUtf16 ? iconv_open(kUtf16, name.c_str()) : iconv_open(name.c_str(), kUtf16);
}

CharsetConverter::~CharsetConverter() {
  if (IsOpen()) iconv_close(static_cast<iconv_t>(handle_));
}

CharsetConverter::CharsetConverter(CharsetConverter&& other) noexcept
    : handle_(std::exchange(other.handle_, kClosed)) {}

CharsetConverter& CharsetConverter::operator=(CharsetConverter&& other) noexcept {
  std::swap(handle_, other.handle_);
  return *this;
}

bool CharsetConverter::IsOpen() const { return handle_ != kClosed; }

Stop CharsetConverter::Decode(const std::uint8_t*& in, const std::uint8_t* end, std::u16string& out) {
  if (in == end) return Stop::Done;
  if (!IsOpen()) return Stop::Invalid;
  auto* from = reinterpret_cast<char*>(const_cast<std::uint8_t*>(in));
  std::size_t left = static_cast<std::size_t>(end - in);
  const Stop stop = Run(static_cast<iconv_t>(handle_), &from, &left, out);
  in = end - left;
  return stop;
}

Stop CharsetConverter::Encode(const char16_t*& in, const char16_t* end, std::string& out) {
  if (in == end) return Stop::Done;
  if (!IsOpen()) return Stop::Invalid;
  auto* from = reinterpret_cast<char*>(const_cast<char16_t*>(in));
  std::size_t left = static_cast<std::size_t>(end - in) * sizeof(char16_t);
  const Stop stop = Run(static_cast<iconv_t>(handle_), &from, &left, out);
  in = end - left / sizeof(char16_t);
  return stop;
}

void CharsetConverter::Finish(std::u16string& out) {
  if (IsOpen()) Run(static_cast<iconv_t>(handle_), nullptr, nullptr, out);
}

void CharsetConverter::Finish(std::string& out) {
  if (IsOpen()) Run(static_cast<iconv_t>(handle_), nullptr, nullptr, out);
}

void CharsetConverter::Reset() {
  if (IsOpen()) iconv(static_cast<iconv_t>(handle_), nullptr, nullptr, nullptr, nullptr);
}

unsigned CharsetConverter::CodePageOfCharset(std::string_view name) {
  const std::string key = Normalized(name);
  if (key.empty()) return 0;
  for (const auto& row : kNames) {
    if (Normalized(row.name) == key) return row.codePage;
  }
  if (const unsigned part = NumberAfter(key, "ISO8859"); part >= 1 && part <= 9) return 28590 + part;
  for (std::string_view prefix : {"CP", "WINDOWS", "IBM", "MS"}) {
    if (const unsigned number = NumberAfter(key, prefix)) return number;
  }
  return 0;
}

}  // namespace platform
