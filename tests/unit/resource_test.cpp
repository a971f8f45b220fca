#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "res/dialog_template.h"
#include "res/resource.h"
#include "res/string_table.h"
#include "res/window_styles.h"

namespace {

const ControlTemplate* FindControl(const DialogTemplate& dialog, int id) {
  const auto it = std::find_if(dialog.controls.begin(), dialog.controls.end(),
                               [id](const ControlTemplate& c) { return c.id == id; });
  return it == dialog.controls.end() ? nullptr : &*it;
}

std::vector<std::u16string> ComboItems(const DialogTemplate& dialog, int id) {
  for (const ComboInitialList& list : dialog.comboLists) {
    if (list.id == id) return {list.items.begin(), list.items.end()};
  }
  return {};
}

std::u16string Text(int id) {
  const char16_t* text = FindResourceString(id);
  return text ? std::u16string(text) : u"<missing>";
}

TEST(MainDialogTemplate, WindowIsFixedSizeAndAcceptsDroppedFiles) {
  const DialogTemplate& dialog = MainDialogTemplate();
  EXPECT_EQ(dialog.id, IDD_MAIN_DIALOG);
  EXPECT_EQ(dialog.cx, 692);
  EXPECT_EQ(dialog.cy, 307);
  EXPECT_EQ(dialog.style, 0x90CA00C8u);
  EXPECT_EQ(dialog.exStyle, 0x00040010u);
  EXPECT_EQ(std::u16string(dialog.fontName), u"MS Shell Dlg");
  EXPECT_EQ(dialog.fontPoints, 9);
  EXPECT_EQ(std::u16string(dialog.caption), Text(IDS_TITLE));
}

TEST(MainDialogTemplate, HoldsEveryControlOnceInCreationOrder) {
  const DialogTemplate& dialog = MainDialogTemplate();
  // The first layout's 43 controls come first, in their order; what the window grew by
  // follows, right of where the first layout ended, so nothing of it moved.
  constexpr std::size_t kFirstLayout = 43;
  ASSERT_GT(dialog.controls.size(), kFirstLayout);
  for (std::size_t i = kFirstLayout; i < dialog.controls.size(); ++i) {
    EXPECT_GE(dialog.controls[i].x, 441) << dialog.controls[i].name;
  }
  std::set<int> ids;
  for (const ControlTemplate& c : dialog.controls) {
    EXPECT_TRUE(ids.insert(c.id).second) << "duplicate id " << c.id;
    EXPECT_TRUE(c.style & ws::Child) << c.name;
  }
  EXPECT_EQ(dialog.controls.front().id, IDC_SEND);
  EXPECT_EQ(dialog.controls[1].id, IDC_OPEN);
  EXPECT_EQ(dialog.controls[kFirstLayout - 1].id, IDC_RX_FILTER);

  // The up-down control takes the control created just before it as its buddy.
  const auto spin = std::find_if(dialog.controls.begin(), dialog.controls.end(),
                                 [](const ControlTemplate& c) { return c.id == IDC_TX_INTERVAL_SPIN; });
  ASSERT_NE(spin, dialog.controls.begin());
  EXPECT_EQ(std::prev(spin)->id, IDC_TX_INTERVAL);
  // Wrap, buddy integer, right, auto buddy, arrow keys, hot track, and no digit grouping.
  EXPECT_EQ(spin->style & 0xFFFF, 0x1B7u);

  for (int foreign : {1001, IDC_FILTER_TEXT, IDC_FILTER_KEEP, IDC_FILTER_HINT}) {
    EXPECT_EQ(FindControl(dialog, foreign), nullptr) << foreign;
  }
}

TEST(MainDialogTemplate, InitialVisibilityAndEnabling) {
  const DialogTemplate& dialog = MainDialogTemplate();
  for (const ControlTemplate& c : dialog.controls) {
    const bool hidden = c.id == IDC_TX_CLEAR;
    EXPECT_EQ((c.style & ws::Visible) == 0, hidden) << c.name;
    // The line controls that need an open port start greyed.
    const bool disabled = c.id == IDC_TX_IGNORESPACE || c.id == IDC_RX_ADDSPACE || c.id == IDC_BREAK ||
                          c.id == IDC_CTS || c.id == IDC_DSR || c.id == IDC_DCD || c.id == IDC_RI ||
                          // and what acts on a selected command or a running sequence
                          c.id == IDC_CMD_SEND || c.id == IDC_CMD_UP || c.id == IDC_CMD_DOWN ||
                          c.id == IDC_CMD_REMOVE || c.id == IDC_CMD_APPLY || c.id == IDC_CMD_STOP;
    EXPECT_EQ((c.style & ws::Disabled) != 0, disabled) << c.name;
  }
  EXPECT_FALSE(FindControl(dialog, IDC_RX_EDIT)->style & ws::TabStop);
  EXPECT_TRUE(FindControl(dialog, IDC_TX_EDIT)->style & ws::TabStop);
  EXPECT_TRUE(FindControl(dialog, IDC_TX_INTERVAL)->style & ws::Number);
  EXPECT_EQ(FindControl(dialog, IDC_SEND)->style & 0xF, ws::DefPushButton);
  EXPECT_EQ(FindControl(dialog, IDC_FILE_HISTORY)->kind, ControlKind::DropDownList);
  for (int combo : {IDC_PORT, IDC_BAUD, IDC_PARITY, IDC_DATABITS, IDC_STOPBITS}) {
    EXPECT_EQ(FindControl(dialog, combo)->kind, ControlKind::ComboBox) << combo;
  }
}

TEST(MainDialogTemplate, CaptionsKeepTheirExactCharacters) {
  const DialogTemplate& dialog = MainDialogTemplate();
  EXPECT_EQ(std::u16string(FindControl(dialog, IDC_LBL_INTERVAL)->caption), u"Intervals\uFF1A");
  EXPECT_EQ(std::u16string(FindControl(dialog, IDC_CHECKSUM)->caption), u"CRC xor:      add:");
  EXPECT_EQ(std::u16string(FindControl(dialog, IDC_RX_SAVE)->caption), u"Save as txt");
  EXPECT_EQ(std::u16string(FindControl(dialog, IDC_RX_COUNT)->caption), u"RX:0");
  const ControlTemplate* frame = FindControl(dialog, IDC_STATIC);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->kind, ControlKind::GroupBox);
  EXPECT_EQ(std::u16string(frame->caption), u"");
  const ControlTemplate* rx = FindControl(dialog, IDC_RX_EDIT);
  EXPECT_EQ(rx->exStyle, ws::ExTransparent);
  EXPECT_EQ((std::vector<int>{rx->x, rx->y, rx->cx, rx->cy}), (std::vector<int>{95, 13, 337, 195}));
}

TEST(MainDialogTemplate, ComboListsInDisplayOrder) {
  const DialogTemplate& dialog = MainDialogTemplate();
  const auto baud = ComboItems(dialog, IDC_BAUD);
  ASSERT_EQ(baud.size(), 13u);
  EXPECT_EQ(baud.front(), u"110");
  EXPECT_EQ(baud.back(), u"256000");
  EXPECT_TRUE(std::is_sorted(baud.begin(), baud.end(),
                             [](const std::u16string& a, const std::u16string& b) {
                               return a.size() != b.size() ? a.size() < b.size() : a < b;
                             }));
  EXPECT_EQ(ComboItems(dialog, IDC_PARITY),
            (std::vector<std::u16string>{u"NONE", u"ODD", u"EVEN", u"MARK", u"SPACE"}));
  EXPECT_EQ(ComboItems(dialog, IDC_DATABITS), (std::vector<std::u16string>{u"8", u"7", u"6", u"5", u"4"}));
  EXPECT_EQ(ComboItems(dialog, IDC_STOPBITS), (std::vector<std::u16string>{u"1", u"1.5", u"2"}));
  EXPECT_TRUE(ComboItems(dialog, IDC_PORT).empty());
  EXPECT_TRUE(ComboItems(dialog, IDC_FILE_HISTORY).empty());
}

TEST(FilterDialogTemplate, ControlsAndStyles) {
  const DialogTemplate& dialog = FilterDialogTemplate();
  EXPECT_EQ(dialog.id, IDD_FILTER);
  EXPECT_EQ(dialog.cx, 273);
  EXPECT_EQ(dialog.cy, 143);
  EXPECT_EQ(dialog.style, 0x80C800C8u);
  EXPECT_EQ(dialog.exStyle, 0u);
  EXPECT_EQ(dialog.fontPoints, 8);
  EXPECT_TRUE(dialog.comboLists.empty());

  struct Expected {
    int id;
    std::uint32_t style;
  };
  const Expected expected[] = {{IDOK, 0x50010001}, {IDCANCEL, 0x50010000}, {IDC_FILTER_TEXT, 0x50A10044},
                               {IDC_FILTER_KEEP, 0x40010003}, {IDC_FILTER_HINT, 0x50020000}};
  ASSERT_EQ(dialog.controls.size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(dialog.controls[i].id, expected[i].id);
    EXPECT_EQ(dialog.controls[i].style, expected[i].style) << dialog.controls[i].name;
  }
  EXPECT_EQ(std::u16string(FindControl(dialog, IDC_FILTER_HINT)->caption), Text(IDS_FILTER_HINT));
}

TEST(StringTable, EveryEnglishTextHasBothTranslations) {
  for (int id = IDS_SETTING; id <= IDS_READ_FILE_ERROR; ++id) {
    EXPECT_NE(FindResourceString(id), nullptr) << id;
    EXPECT_NE(FindResourceString(id + 100), nullptr) << id + 100;
    EXPECT_NE(FindResourceString(id + 200), nullptr) << id + 200;
  }
  EXPECT_NE(FindResourceString(IDS_SOCKETS_INIT_FAILED), nullptr);
  EXPECT_EQ(FindResourceString(IDS_SOCKETS_INIT_FAILED + 100), nullptr);
  EXPECT_EQ(FindResourceString(IDS_SOCKETS_INIT_FAILED + 200), nullptr);
  // The third block maps to its languages by the same rule, and has nothing beyond them.
  for (int id : {IDS_CMD_ADD, IDS_CMD_STEP, IDS_CMD_FINISHED, IDS_CMD_CANNOT_WRITE}) {
    EXPECT_NE(FindResourceString(id + 100), nullptr) << id + 100;
    EXPECT_NE(FindResourceString(id + 200), nullptr) << id + 200;
    EXPECT_NE(std::u16string(FindResourceString(id + 100)), FindResourceString(id)) << id;
  }
  for (int outside : {-1, 0, 102, IDS_READ_FILE_ERROR + 1, 199, 200, 202, 399, 400, 1000, 2000, IDS_CMD_FINISHED + 300}) {
    EXPECT_EQ(FindResourceString(outside), nullptr) << outside;
  }
}

TEST(StringTable, TextsOfTheThreeLanguages) {
  EXPECT_EQ(Text(IDS_OPEN), u"Open");
  EXPECT_EQ(Text(IDS_OPEN + 100), u"打开");
  EXPECT_EQ(Text(IDS_OPEN + 200), u"打開");
  EXPECT_EQ(Text(IDS_CLOSE + 200), u"關閉");
  EXPECT_EQ(Text(IDS_SAVE_AS_TXT + 200), u"保存為 .txt");
  EXPECT_EQ(Text(IDS_FILTER_HINT + 100), u"有多个条件时以逗号分开\uFF0C不要输入多余字符\u3002");
  EXPECT_EQ(Text(IDS_SOCKETS_INIT_FAILED), u"Windows 套接字初始化失败\u3002");
  EXPECT_EQ(Text(IDS_ENUM_REGISTRY_ERROR), u"Could not read from HKLM\\Enum");
  EXPECT_EQ(Text(IDS_PORT_LIST_ERROR + 200), u"串口列表錯誤\uFF1A%s");
  // Untranslated messages and the title read the same in every language.
  for (int id : {IDS_OPEN_FILE_ERROR, IDS_APPLICATION_ERROR, IDS_TITLE, IDS_SAVE_FILE_ERROR}) {
    EXPECT_EQ(Text(id + 100), Text(id)) << id;
    EXPECT_EQ(Text(id + 200), Text(id)) << id;
  }
  EXPECT_EQ(Text(IDS_OPEN_FILE_ERROR), u"Open file%sError\uFF01");
  EXPECT_EQ(Text(IDS_TITLE).rfind(u"Tarvolm V3.5   ", 0), 0u);
}

}  // namespace
