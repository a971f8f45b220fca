#include "res/resource_script.h"

#include <cstdio>
#include <utility>

#include "platform/text.h"
#include "res/dialog_template.h"
#include "res/resource.h"
#include "res/string_table.h"
#include "res/window_styles.h"
#include "tarvolm_version.h"

namespace {

constexpr int kManifestId = 1;     // CREATEPROCESS_MANIFEST_RESOURCE_ID
constexpr int kManifestType = 24;  // RT_MANIFEST
constexpr int kVersionId = 1;
constexpr const char* kVersionNumbers = TARVOLM_VERSION_NUMBERS;
constexpr const char* kVersionText = TARVOLM_VERSION_QUAD;

// The resource compiler ORs these into a dialog's STYLE (defaults, CAPTION, FONT) and a
// CONTROL's style; an absent one has to be cleared with NOT or the window gains it.
constexpr std::uint32_t kDialogImpliedStyle = ws::Popup | ws::Border | ws::SysMenu | ws::Caption | ws::DsSetFont;
constexpr std::uint32_t kControlImpliedStyle = ws::Child | ws::Visible;

std::string Hex(std::uint32_t value, int digits) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%0*X", digits, static_cast<unsigned>(value));
  return buffer;
}

// A string literal as the resource compiler reads it: "" is a quote, octal escapes stop
// after three digits, so a digit after one stays a digit.
std::string Quoted(std::string_view utf8) {
  std::string out = "\"";
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"') {
      out += "\"\"";
    } else if (c == '\\') {
      out += "\\\\";
    } else if (byte < 0x20 || byte == 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\%03o", static_cast<unsigned>(byte));
      out += escape;
    } else {
      out += c;
    }
  }
  return out + '"';
}

std::string Quoted(const char16_t* text) { return Quoted(text::ToUtf8(text)); }

std::string StyleExpression(std::uint32_t style, std::uint32_t implied) {
  std::string out = Hex(style, 8);
  if (const std::uint32_t unwanted = implied & ~style) out += " | NOT " + Hex(unwanted, 8);
  return out;
}

const char* ControlClass(ControlKind kind) {
  switch (kind) {
    case ControlKind::PushButton:
    case ControlKind::CheckBox:
    case ControlKind::GroupBox:
      return "Button";
    case ControlKind::StaticText:
      return "Static";
    case ControlKind::Edit:
    case ControlKind::MultiLineEdit:
      return "Edit";
    case ControlKind::ComboBox:
    case ControlKind::DropDownList:
      return "ComboBox";
    case ControlKind::UpDown:
      return "msctls_updown32";
    case ControlKind::ListBox:
      return "ListBox";
  }
  return "Static";
}

std::string Rectangle(int x, int y, int cx, int cy) {
  return std::to_string(x) + ", " + std::to_string(y) + ", " + std::to_string(cx) + ", " + std::to_string(cy);
}

void AppendDialog(std::string& rc, const DialogTemplate& dialog) {
  rc += std::to_string(dialog.id) + " DIALOGEX " + Rectangle(0, 0, dialog.cx, dialog.cy) + "\n";
  // CAPTION and FONT come before STYLE, which then has the last word on the style bits.
  rc += "CAPTION " + Quoted(dialog.caption) + "\n";
  // Both templates use the font at normal weight, upright, in the default character set.
  rc += "FONT " + std::to_string(dialog.fontPoints) + ", " + Quoted(dialog.fontName) + ", 400, 0, 0x1\n";
  rc += "STYLE " + StyleExpression(dialog.style, kDialogImpliedStyle) + "\n";
  rc += "EXSTYLE " + Hex(dialog.exStyle, 8) + "\n";
  rc += "BEGIN\n";
  for (const ControlTemplate& c : dialog.controls) {
    rc += "  CONTROL " + Quoted(c.caption) + ", " + std::to_string(c.id) + ", \"" + ControlClass(c.kind) + "\", " +
          StyleExpression(c.style, kControlImpliedStyle) + ", " + Rectangle(c.x, c.y, c.cx, c.cy) + ", " +
          Hex(c.exStyle, 8) + "  // " + c.name + "\n";
  }
  rc += "END\n\n";
}

void AppendDialogInit(std::string& rc, const DialogTemplate& dialog) {
  if (dialog.comboLists.empty()) return;
  rc += std::to_string(dialog.id) + " " + std::to_string(kDialogInitResourceType) + "\nBEGIN\n";
  for (const ComboInitialList& list : dialog.comboLists) {
    for (const char16_t* item : list.items) {
      std::string bytes = text::ToUtf8(item);
      bytes.push_back('\0');
      if (bytes.size() % 2 != 0) bytes.push_back('\0');
      rc += "  " + std::to_string(static_cast<std::uint16_t>(list.id)) + ", " + Hex(kDialogInitAddString, 4) + ", " +
            std::to_string(bytes.size() & 0xFFFF) + ", " + std::to_string(bytes.size() >> 16);
      for (std::size_t i = 0; i < bytes.size(); i += 2) {
        const auto low = static_cast<unsigned char>(bytes[i]);
        const auto high = static_cast<unsigned char>(bytes[i + 1]);
        rc += ", " + Hex(low | high << 8, 4);
      }
      rc += ",\n";
    }
  }
  rc += "  0\nEND\n\n";
}

void AppendStringTable(std::string& rc) {
  rc += "STRINGTABLE\nBEGIN\n";
  for (int id = 0; id <= 0xFFFF; ++id) {
    if (const char16_t* text = FindResourceString(id)) rc += "  " + std::to_string(id) + ", " + Quoted(text) + "\n";
  }
  rc += "END\n\n";
}

void AppendVersion(std::string& rc) {
  rc += std::to_string(kVersionId) + " VERSIONINFO\n";
  rc += std::string("FILEVERSION ") + kVersionNumbers + "\nPRODUCTVERSION " + kVersionNumbers + "\n";
  rc += "FILEFLAGSMASK 0x3F\nFILEFLAGS 0x0\nFILEOS 0x40004\nFILETYPE 0x1\nFILESUBTYPE 0x0\n";
  rc += "BEGIN\n  BLOCK \"StringFileInfo\"\n  BEGIN\n    BLOCK \"040904B0\"\n    BEGIN\n";
  const std::pair<const char*, std::string> values[] = {
      {"FileDescription", "Tarvolm serial port terminal"},
      {"FileVersion", kVersionText},
      {"InternalName", "tarvolm"},
      {"OriginalFilename", "tarvolm.exe"},
      {"ProductName", "Tarvolm"},
      {"ProductVersion", kVersionText},
  };
  for (const auto& [name, value] : values) rc += std::string("      VALUE \"") + name + "\", " + Quoted(value) + "\n";
  rc += "    END\n  END\n  BLOCK \"VarFileInfo\"\n  BEGIN\n    VALUE \"Translation\", 0x409, 1200\n  END\nEND\n";
}

}  // namespace

std::string ResourceScript(std::string_view iconPath, std::string_view manifestPath) {
  std::string rc;
  rc += "// Generated by make_rc from the templates and the string table: edit those, not this.\n";
  rc += "#pragma code_page(65001)\n#include <windows.h>\n\n";
  rc += "LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US\n\n";
  rc += std::to_string(IDR_MAINFRAME) + " ICON " + Quoted(iconPath) + "\n";
  rc += std::to_string(kManifestId) + " " + std::to_string(kManifestType) + " " + Quoted(manifestPath) + "\n\n";
  for (const DialogTemplate* dialog : {&MainDialogTemplate(), &FilterDialogTemplate()}) {
    AppendDialog(rc, *dialog);
    AppendDialogInit(rc, *dialog);
  }
  AppendStringTable(rc);
  AppendVersion(rc);
  return rc;
}
