#include "send/commands_file.h"

#include <fstream>
#include <iterator>
#include <optional>

#include "platform/file_replace.h"
#include "platform/text.h"
#include "platform/text_file.h"

namespace {
constexpr std::uintmax_t kLargestFile = 1 << 20;
constexpr std::u16string_view kAsSendBox = u"As send box";
constexpr std::u16string_view kHeader =
    u"; Tarvolm commands, one a line: name|Text or Hex|line end|append|the text.\n"
    u"; Line end and Append take a name from their lists, or \"As send box\".\n"
    u"; \\\\ \\| \\r \\n stand for a backslash, a bar, CR and LF.\n";

enum class Section { None, Sequence, Commands, Other };

std::u16string Trimmed(std::u16string_view text) {
  const auto first = text.find_first_not_of(u" \t");
  if (first == std::u16string_view::npos) return {};
  const auto last = text.find_last_not_of(u" \t");
  return std::u16string(text.substr(first, last - first + 1));
}

bool EqualNoCase(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() && text::StartsWithNoCase(a, b);
}

// A whole number of at most nine digits: nothing else is a delay or a count.
std::optional<int> Count(std::u16string_view value) {
  if (value.empty() || value.size() > 9) return std::nullopt;
  int n = 0;
  for (const char16_t c : value) {
    if (c < u'0' || c > u'9') return std::nullopt;
    n = n * 10 + (c - u'0');
  }
  return n;
}

std::u16string Escaped(std::u16string_view text) {
  std::u16string out;
  for (const char16_t c : text) {
    if (c == u'\\') {
      out += u"\\\\";
    } else if (c == u'|') {
      out += u"\\|";
    } else if (c == u'\r') {
      out += u"\\r";
    } else if (c == u'\n') {
      out += u"\\n";
    } else {
      out += c;
    }
  }
  return out;
}

// Splits at the bars that are not escaped, unescaping each field; the last field takes the
// rest of the line, bars included.
std::vector<std::u16string> Fields(std::u16string_view value, std::size_t count) {
  std::vector<std::u16string> fields(1);
  for (std::size_t i = 0; i < value.size(); ++i) {
    const char16_t c = value[i];
    if (c == u'\\' && i + 1 < value.size()) {
      const char16_t next = value[i + 1];
      const char16_t* known = next == u'\\' ? u"\\" : next == u'|' ? u"|" : next == u'r' ? u"\r" : next == u'n' ? u"\n" : nullptr;
      if (known) {
        fields.back() += known;
        ++i;
        continue;
      }
    }
    if (c == u'|' && fields.size() < count) {
      fields.emplace_back();
      continue;
    }
    fields.back() += c;
  }
  return fields;
}

// "As send box" (empty), a name from the list, or nothing (nullopt): any case.
template <class Value, std::size_t N>
std::optional<std::optional<Value>> Ending(std::u16string_view name, const Value (&values)[N],
                                           std::u16string_view (*nameOf)(Value)) {
  if (EqualNoCase(name, kAsSendBox)) return std::optional<Value>();
  for (const Value value : values) {
    if (EqualNoCase(name, nameOf(value))) return std::optional<Value>(value);
  }
  return std::nullopt;
}

std::optional<Command> CommandOf(std::u16string_view value) {
  const std::vector<std::u16string> f = Fields(value, 5);
  if (f.size() != 5 || f[4].empty()) return std::nullopt;
  Command command;
  command.name = f[0];
  const std::u16string kind = Trimmed(f[1]);
  if (!EqualNoCase(kind, u"Text") && !EqualNoCase(kind, u"Hex")) return std::nullopt;
  command.hex = EqualNoCase(kind, u"Hex");
  const auto lineEnd = Ending(Trimmed(f[2]), kLineEnds, &LineEndName);
  const auto check = Ending(Trimmed(f[3]), kAppendChecks, &AppendCheckName);
  if (!lineEnd || !check) return std::nullopt;
  command.lineEnd = *lineEnd;
  command.check = *check;
  command.text = f[4];
  return command;
}

// True when the line is one of the sequence's settings, and takes it.
bool TakeSetting(std::u16string_view key, std::u16string_view value, SequenceSettings& sequence) {
  const auto n = Count(Trimmed(value));
  if (!n) return false;
  if (EqualNoCase(key, u"Delay")) {
    sequence.delayMs = *n;
  } else if (EqualNoCase(key, u"Repeat")) {
    sequence.repeat = *n;
  } else {
    return false;
  }
  return true;
}

bool TakeLine(std::u16string_view line, Section& section, CommandsText& out) {
  const std::u16string trimmed = Trimmed(line);
  if (trimmed.empty() || trimmed.front() == u';' || trimmed.front() == u'#') return true;
  if (trimmed.front() == u'[' && trimmed.back() == u']') {
    const std::u16string_view name = std::u16string_view(trimmed).substr(1, trimmed.size() - 2);
    section = EqualNoCase(name, u"Sequence") ? Section::Sequence : EqualNoCase(name, u"Commands") ? Section::Commands : Section::Other;
    return section != Section::Other;
  }
  const auto equals = line.find(u'=');
  if (equals == std::u16string_view::npos) return false;
  const std::u16string key = Trimmed(line.substr(0, equals));
  const std::u16string_view value = line.substr(equals + 1);
  if (section == Section::Sequence) return TakeSetting(key, value, out.sequence);
  if (section != Section::Commands) return false;
  const auto command = CommandOf(value);
  if (command) out.commands.push_back(*command);
  return command.has_value();
}
}  // namespace

CommandsText ParseCommands(std::u16string_view text) {
  CommandsText out;
  Section section = Section::None;
  int number = 0;
  for (std::size_t start = 0;;) {
    const auto end = text.find(u'\n', start);
    std::u16string_view line = text.substr(start, end == std::u16string_view::npos ? std::u16string_view::npos : end - start);
    if (line.ends_with(u'\r')) line.remove_suffix(1);
    ++number;
    if (!TakeLine(line, section, out)) {
      out.skippedLines.push_back(number);
      out.skippedText.emplace_back(line);
    }
    if (end == std::u16string_view::npos) break;
    start = end + 1;
  }
  return out;
}

std::u16string FormatCommands(std::span<const Command> commands, SequenceSettings sequence,
                              std::span<const std::u16string> keptAsComments) {
  std::u16string out(kHeader);
  for (const std::u16string& line : keptAsComments) out += u"; " + line + u"\n";
  out += u"[Sequence]\nDelay=" + text::Decimal(sequence.delayMs) + u"\nRepeat=" + text::Decimal(sequence.repeat) +
         u"\n[Commands]\n";
  int number = 0;
  for (const Command& c : commands) {
    out += text::Decimal(++number) + u"=" + Escaped(c.name) + u"|" + (c.hex ? u"Hex" : u"Text") + u"|" +
           std::u16string(c.lineEnd ? LineEndName(*c.lineEnd) : kAsSendBox) + u"|" +
           std::u16string(c.check ? AppendCheckName(*c.check) : kAsSendBox) + u"|" + Escaped(c.text) + u"\n";
  }
  return out;
}

CommandsFileRead ReadCommandsFile(const std::filesystem::path& file) {
  std::error_code error;
  if (!std::filesystem::exists(file, error) && !error) return {CommandsFileState::Missing, {}};
  const auto size = std::filesystem::file_size(file, error);
  if (error || size > kLargestFile) return {CommandsFileState::Unreadable, {}};
  std::ifstream in(file, std::ios::binary);
  if (!in.is_open()) return {CommandsFileState::Unreadable, {}};
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return {CommandsFileState::Unreadable, {}};
  const auto text = platform::TextOfFileBytes(bytes);
  if (!text) return {CommandsFileState::Unreadable, {}};
  return {CommandsFileState::Read, ParseCommands(*text)};
}

bool WriteCommandsFile(const std::filesystem::path& file, std::u16string_view text) {
  return platform::ReplaceFileContent(file, platform::TextFileBytes(text));
}
