#include "res/resource_script.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text.h"
#include "res/dialog_template.h"
#include "res/resource.h"
#include "res/string_table.h"
#include "res/window_styles.h"
#include "tarvolm_version.h"

// The script is read back here the way the resource compiler reads it, so what is checked
// is what the compiled program gets, not how the text happens to look.
namespace {

const std::string& Script() {
  static const std::string script = ResourceScript("/src/res/icon/tarvolm.ico", "/src/res/windows/tarvolm.manifest");
  return script;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// A string literal: "" is a quote, a backslash escapes, octal escapes take at most three digits.
std::string Unquote(std::string_view literal) {
  EXPECT_TRUE(literal.size() >= 2 && literal.front() == '"' && literal.back() == '"') << literal;
  literal = literal.substr(1, literal.size() - 2);
  std::string out;
  for (std::size_t i = 0; i < literal.size(); ++i) {
    const char c = literal[i];
    if (c == '"') {
      EXPECT_EQ(literal[++i], '"') << "lone quote in " << literal;
      out += '"';
    } else if (c == '\\') {
      const char e = literal[++i];
      if (e >= '0' && e <= '7') {
        int value = 0;
        for (int digits = 0; digits < 3 && i < literal.size() && literal[i] >= '0' && literal[i] <= '7'; ++digits)
          value = value * 8 + (literal[i++] - '0');
        --i;
        out += static_cast<char>(value);
      } else {
        EXPECT_EQ(e, '\\') << "unexpected escape in " << literal;
        out += e;
      }
    } else {
      out += c;
    }
  }
  return out;
}

// A statement's arguments: split at the commas outside quotes, trimmed, comment dropped.
std::vector<std::string> Fields(std::string_view text) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') quoted = !quoted;
    if (!quoted && c == '/' && i + 1 < text.size() && text[i + 1] == '/') break;
    if (!quoted && c == ',') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  for (std::string& f : fields) {
    f.erase(0, f.find_first_not_of(' '));
    f.erase(f.find_last_not_of(' ') + 1);
  }
  return fields;
}

std::uint32_t Number(const std::string& text) { return static_cast<std::uint32_t>(std::stoll(text, nullptr, 0)); }

// "a | NOT b | c" applied to the bits the compiler starts from.
std::uint32_t Style(const std::string& expression, std::uint32_t start) {
  std::istringstream in(expression);
  std::uint32_t style = start;
  bool clear = false;
  for (std::string word; in >> word;) {
    if (word == "|") continue;
    if (word == "NOT") {
      clear = true;
      continue;
    }
    style = clear ? style & ~Number(word) : style | Number(word);
    clear = false;
  }
  return style;
}

// The statements between a resource's header line and its BEGIN, and the lines up to END.
struct Block {
  std::map<std::string, std::string> statements;
  std::vector<std::string> body;
};

std::optional<Block> FindBlock(const std::string& header) {
  const std::vector<std::string> lines = Lines(Script());
  auto line = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.starts_with(header); });
  if (line == lines.end()) return std::nullopt;
  Block block;
  for (++line; line != lines.end() && *line != "BEGIN"; ++line) {
    const auto space = line->find(' ');
    block.statements[line->substr(0, space)] = line->substr(space + 1);
  }
  for (++line; line != lines.end() && *line != "END"; ++line) block.body.push_back(*line);
  return block;
}

std::string Utf8(const char16_t* text) { return text::ToUtf8(text); }

TEST(ResourceScript, DeclaresUtf8BeforeAnyText) {
  const std::string& script = Script();
  const auto pragma = script.find("#pragma code_page(65001)\n");
  ASSERT_NE(pragma, std::string::npos);
  EXPECT_LT(pragma, script.find('"'));
  EXPECT_NE(script.find("#include <windows.h>\n"), std::string::npos);
}

TEST(ResourceScript, DialogsReadBackAsTheirTemplates) {
  constexpr std::uint32_t kCompilerDialogStyle = ws::Popup | ws::Border | ws::SysMenu;
  for (const DialogTemplate* dialog : {&MainDialogTemplate(), &FilterDialogTemplate()}) {
    SCOPED_TRACE(dialog->id);
    auto block = FindBlock(std::to_string(dialog->id) + " DIALOGEX ");
    ASSERT_TRUE(block);
    auto& statements = block->statements;
    EXPECT_EQ(Unquote(statements["CAPTION"]), Utf8(dialog->caption));
    const std::vector<std::string> font = Fields(statements["FONT"]);
    ASSERT_EQ(font.size(), 5u);
    EXPECT_EQ(Number(font[0]), static_cast<std::uint32_t>(dialog->fontPoints));
    EXPECT_EQ(Unquote(font[1]), Utf8(dialog->fontName));
    EXPECT_EQ(font[2] + "," + font[3] + "," + font[4], "400,0,0x1");  // normal weight, upright, default charset
    // CAPTION and FONT add their bits to the compiler's defaults; STYLE must end on the template's.
    EXPECT_EQ(Style(statements["STYLE"], kCompilerDialogStyle | ws::Caption | ws::DsSetFont), dialog->style);
    EXPECT_EQ(Number(statements["EXSTYLE"]), dialog->exStyle);

    ASSERT_EQ(block->body.size(), dialog->controls.size());
    for (std::size_t i = 0; i < dialog->controls.size(); ++i) {
      const ControlTemplate& c = dialog->controls[i];
      SCOPED_TRACE(c.name);
      const std::string& line = block->body[i];
      ASSERT_TRUE(line.starts_with("  CONTROL ")) << line;
      const std::vector<std::string> f = Fields(line.substr(10));
      ASSERT_EQ(f.size(), 9u) << line;
      EXPECT_EQ(Unquote(f[0]), Utf8(c.caption));
      EXPECT_EQ(static_cast<int>(Number(f[1])), c.id);
      EXPECT_EQ(Style(f[3], ws::Child | ws::Visible), c.style);
      EXPECT_EQ(f[4] + "," + f[5] + "," + f[6] + "," + f[7],
                std::to_string(c.x) + "," + std::to_string(c.y) + "," + std::to_string(c.cx) + "," + std::to_string(c.cy));
      EXPECT_EQ(Number(f[8]), c.exStyle);
      const std::map<ControlKind, std::string> classes = {
          {ControlKind::PushButton, "Button"}, {ControlKind::CheckBox, "Button"},   {ControlKind::GroupBox, "Button"},
          {ControlKind::StaticText, "Static"}, {ControlKind::Edit, "Edit"},         {ControlKind::MultiLineEdit, "Edit"},
          {ControlKind::ComboBox, "ComboBox"}, {ControlKind::DropDownList, "ComboBox"}, {ControlKind::UpDown, "msctls_updown32"},
          {ControlKind::ListBox, "ListBox"},
      };
      EXPECT_EQ(Unquote(f[2]), classes.at(c.kind));
    }
  }
}

TEST(ResourceScript, StringTableHoldsEveryLanguageAndNothingElse) {
  const auto block = FindBlock("STRINGTABLE");
  ASSERT_TRUE(block);
  std::map<int, std::string> strings;
  for (const std::string& line : block->body) {
    const std::vector<std::string> f = Fields(line);
    ASSERT_EQ(f.size(), 2u) << line;
    EXPECT_TRUE(strings.emplace(std::stoi(f[0]), Unquote(f[1])).second) << "twice: " << line;
  }
  std::map<int, std::string> expected;
  for (int id = 0; id <= 0xFFFF; ++id) {
    if (const char16_t* text = FindResourceString(id)) expected.emplace(id, Utf8(text));
  }
  EXPECT_EQ(strings, expected);
  EXPECT_EQ(strings[IDS_ENUM_REGISTRY_ERROR + 200], "Could not read from HKLM\\Enum");
  EXPECT_EQ(strings[IDS_INTERVALS + 100], "间隔");
}

TEST(ResourceScript, ComboListsAreDialogInitRecords) {
  EXPECT_FALSE(FindBlock(std::to_string(IDD_FILTER) + " " + std::to_string(kDialogInitResourceType)));
  const auto block = FindBlock(std::to_string(IDD_MAIN_DIALOG) + " " + std::to_string(kDialogInitResourceType));
  ASSERT_TRUE(block);
  std::vector<std::uint16_t> words;
  for (const std::string& line : block->body) {
    for (const std::string& field : Fields(line)) {
      if (field.empty()) continue;  // after the trailing comma that separates records
      const std::uint32_t word = Number(field);
      ASSERT_LE(word, 0xFFFFu) << field;
      words.push_back(static_cast<std::uint16_t>(word));
    }
  }
  // Decoded independently of the loader, to the layout in the header.
  std::map<int, std::vector<std::string>> lists;
  std::size_t at = 0;
  while (at < words.size() && words[at] != 0) {
    ASSERT_LE(at + 4, words.size());
    EXPECT_EQ(words[at + 1], kDialogInitAddString);
    const std::uint32_t length = words[at + 2] | static_cast<std::uint32_t>(words[at + 3]) << 16;
    ASSERT_EQ(length % 2, 0u);
    ASSERT_LE(at + 4 + length / 2, words.size());
    std::string bytes;
    for (std::uint32_t i = 0; i < length / 2; ++i) {
      bytes += static_cast<char>(words[at + 4 + i] & 0xFF);
      bytes += static_cast<char>(words[at + 4 + i] >> 8);
    }
    ASSERT_NE(bytes.find('\0'), std::string::npos) << "item without its terminating NUL";
    lists[words[at]].push_back(bytes.substr(0, bytes.find('\0')));
    at += 4 + length / 2;
  }
  ASSERT_EQ(at + 1, words.size()) << "the records end with one 0";

  std::map<int, std::vector<std::string>> expected;
  for (const ComboInitialList& list : MainDialogTemplate().comboLists) {
    for (const char16_t* item : list.items) expected[list.id].push_back(Utf8(item));
  }
  EXPECT_EQ(lists, expected);
  EXPECT_EQ(lists[IDC_BAUD].size(), 13u);
}

TEST(ResourceScript, FilePathsSurviveQuotesBackslashesAndControlCharacters) {
  const std::string icon = "C:\\Program Files\\\"x\"\\a\tb\x01" "7.ico";
  const std::string manifest = "D:\\m\\tarvolm.manifest";
  const std::vector<std::string> lines = Lines(ResourceScript(icon, manifest));
  const auto value = [&](const std::string& header) {
    for (const std::string& line : lines) {
      if (line.starts_with(header)) return Unquote(line.substr(header.size()));
    }
    return std::string("<missing>");
  };
  EXPECT_EQ(value(std::to_string(IDR_MAINFRAME) + " ICON "), icon);
  EXPECT_EQ(value("1 24 "), manifest);  // the process manifest
  for (const std::string& line : lines) {
    EXPECT_EQ(line.find('\t'), std::string::npos) << "raw control character in " << line;
  }
}

// The version is the project's, as --version prints it.
TEST(ResourceScript, VersionIsTheProjects) {
  const std::string& script = Script();
  for (const char* expected : {"\nFILEVERSION " TARVOLM_VERSION_NUMBERS "\n", "\nPRODUCTVERSION " TARVOLM_VERSION_NUMBERS "\n",
                               "VALUE \"ProductName\", \"Tarvolm\"\n", "VALUE \"FileVersion\", \"" TARVOLM_VERSION_QUAD "\"\n",
                               "VALUE \"Translation\", 0x409, 1200\n"}) {
    EXPECT_NE(script.find(expected), std::string::npos) << expected;
  }
}

}  // namespace
