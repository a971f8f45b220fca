#pragma once

#include <cstdint>
#include <span>

// A dialog template as data: one source for the Qt, headless and Windows backends.
enum class ControlKind {
  PushButton,
  CheckBox,
  StaticText,
  GroupBox,
  Edit,           // single-line edit
  MultiLineEdit,  // ES_MULTILINE
  ComboBox,       // CBS_DROPDOWN: list with an edit field
  DropDownList,   // CBS_DROPDOWNLIST: list only
  UpDown,         // msctls_updown32
  ListBox,        // LBS_NOTIFY: a list that reports selection and double clicks
};

struct ControlTemplate {
  int id;
  const char* name;  // IDC_… name, for accessibility ids and generated resources
  ControlKind kind;
  std::uint32_t style;    // Windows style bits (WS_*, BS_*, ES_*, SS_*, CBS_*, UDS_*)
  std::uint32_t exStyle;  // WS_EX_*
  const char16_t* caption;
  int x, y, cx, cy;  // dialog units
};

// An automatic check box (BS_AUTOCHECKBOX) turns its mark when clicked; a plain one
// (BS_CHECKBOX) shows only what the program sets, and a click just notifies.
inline bool TogglesOnClick(const ControlTemplate& ct) {
  return ct.kind == ControlKind::CheckBox && (ct.style & 0x000F) == 0x0003;
}

struct ComboInitialList {
  int id;
  std::span<const char16_t* const> items;
};

struct DialogTemplate {
  int id;
  const char16_t* caption;
  int cx, cy;  // dialog units
  std::uint32_t style;
  std::uint32_t exStyle;
  const char16_t* fontName;
  int fontPoints;
  std::span<const ControlTemplate> controls;  // creation order = tab order
  std::span<const ComboInitialList> comboLists;
};
