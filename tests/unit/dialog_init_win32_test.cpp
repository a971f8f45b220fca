#include "platform/win32/dialog_init_win32.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "res/dialog_template.h"
#include "res/resource_script.h"

namespace {

// Dialog init bytes, built record by record.
class Data {
 public:
  Data& Word(std::uint16_t value) { return Byte(value & 0xFF).Byte(value >> 8); }
  Data& Dword(std::uint32_t value) { return Word(value & 0xFFFF).Word(value >> 16); }
  Data& Bytes(std::string_view text) {
    for (const char c : text) Byte(static_cast<unsigned char>(c));
    return *this;
  }
  // One item, NUL-terminated and not padded, so the next record may start at an odd offset.
  Data& Item(int controlId, std::string_view utf8, std::uint16_t message = kDialogInitAddString) {
    Word(static_cast<std::uint16_t>(controlId)).Word(message).Dword(static_cast<std::uint32_t>(utf8.size() + 1));
    return Bytes(utf8).Byte(0);
  }
  std::span<const std::byte> Span() const { return bytes_; }

 private:
  Data& Byte(unsigned value) {
    bytes_.push_back(static_cast<std::byte>(value));
    return *this;
  }
  std::vector<std::byte> bytes_;
};

using Lists = std::vector<std::pair<int, std::vector<std::u16string>>>;

Lists Flat(const std::vector<DialogInitList>& lists) {
  Lists flat;
  for (const DialogInitList& list : lists) flat.emplace_back(list.controlId, list.items);
  return flat;
}

TEST(ParseDialogInit, GathersEachControlsItemsInOrder) {
  Data data;
  data.Item(1003, "110").Item(1004, "NONE").Item(1003, "1200").Item(1005, "\xE9\x97\xB4\xE9\x9A\x94").Word(0);
  // What follows the terminator is not read.
  data.Item(1006, "ignored");
  EXPECT_EQ(Flat(ParseDialogInit(data.Span())),
            (Lists{{1003, {u"110", u"1200"}}, {1004, {u"NONE"}}, {1005, {u"间隔"}}}));
}

TEST(ParseDialogInit, ReadsPaddedItemsAndSkipsOtherMessages) {
  Data data;
  data.Word(1003).Word(kDialogInitAddString).Dword(4).Bytes("ab").Word(0);  // "ab", NUL, pad
  data.Item(1004, "list box item", 0x0401);
  data.Word(1003).Word(kDialogInitAddString).Dword(2).Bytes("cd");  // no NUL: the length bounds it
  EXPECT_EQ(Flat(ParseDialogInit(data.Span())), (Lists{{1003, {u"ab", u"cd"}}}));
}

TEST(ParseDialogInit, MalformedDataGivesNothingRatherThanPart) {
  EXPECT_TRUE(ParseDialogInit({}).empty());

  Data cutHeader;
  cutHeader.Item(1003, "110").Word(1003).Word(kDialogInitAddString);
  EXPECT_TRUE(ParseDialogInit(cutHeader.Span()).empty());

  Data overrun;
  overrun.Item(1003, "110").Word(1003).Word(kDialogInitAddString).Dword(0xFFFFFFFF).Bytes("300");
  EXPECT_TRUE(ParseDialogInit(overrun.Span()).empty());

  // Without the terminating 0 nothing is missing.
  Data unterminated;
  unterminated.Item(1003, "110");
  EXPECT_EQ(Flat(ParseDialogInit(unterminated.Span())), (Lists{{1003, {u"110"}}}));
}

// Needs the program's resources linked into the test program.
TEST(LoadDialogInit, ReadsTheComboListsOfTheMainDialog) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  Lists expected;
  for (const ComboInitialList& list : MainDialogTemplate().comboLists) {
    expected.emplace_back(list.id, std::vector<std::u16string>(list.items.begin(), list.items.end()));
  }
  EXPECT_EQ(Flat(LoadDialogInit(instance, MainDialogTemplate().id)), expected);
  EXPECT_TRUE(LoadDialogInit(instance, FilterDialogTemplate().id).empty());
  EXPECT_TRUE(LoadDialogInit(instance, 4711).empty());
}

}  // namespace
