#pragma once

#include <string>
#include <string_view>

#include "res/resource.h"
#include "send/commands_file.h"
#include "support/hub_fixture.h"

// Drives the commands panel as a user would: the editor's boxes and lists, then a button.
// The editor's lists count "As send box" as 0, then the send options' lists.
struct CommandTyped {
  std::u16string_view name;
  std::u16string_view text;
  bool hex = false;
  int lineEnd = 0;  // 0 as send box, 1 None, 2 CR, 3 LF, 4 CR LF
  int append = 0;   // 0 as send box, 1 None, 2 XOR8, 3 SUM8, 4 CRC-16/MODBUS ...
};

inline void TypeCommand(HeadlessWindow& w, const CommandTyped& c) {
  w.Replace(IDC_CMD_NAME, c.name);
  w.Replace(IDC_CMD_TEXT, c.text);
  if ((w.GetCheck(IDC_CMD_HEX) == BST_CHECKED) != c.hex) w.Click(IDC_CMD_HEX);
  w.PickComboItem(IDC_CMD_LINEEND, c.lineEnd);
  w.PickComboItem(IDC_CMD_APPEND, c.append);
}

inline void AddCommand(HeadlessWindow& w, const CommandTyped& c) {
  TypeCommand(w, c);
  w.Click(IDC_CMD_ADD);
}

inline std::vector<std::u16string> ListItems(HeadlessWindow& w) {
  std::vector<std::u16string> items;
  for (int i = 0; i < w.ListGetCount(IDC_CMD_LIST); ++i) items.push_back(w.ListGetItem(IDC_CMD_LIST, i));
  return items;
}

inline std::filesystem::path CommandsFile(const testsupport::TempDir& folder) { return folder.Path() / "Commands.ini"; }
