// The resources compiled from the generated script, as linked into this test program:
// checks that the resource compiler built exactly the data, with nothing added or lost.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text.h"
#include "platform/win32/win32_api.h"
#include "res/dialog_template.h"
#include "res/resource.h"
#include "res/string_table.h"

namespace {

std::string_view Resource(int id, const wchar_t* type) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  const HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), type);
  if (!found) return {};
  const HGLOBAL loaded = LoadResource(instance, found);
  return {static_cast<const char*>(LockResource(loaded)), SizeofResource(instance, found)};
}

// Reads an extended dialog template (DLGTEMPLATEEX and its DLGITEMTEMPLATEEX items).
class TemplateReader {
 public:
  explicit TemplateReader(std::string_view data) : data_(data) {}

  std::uint16_t Word() { return static_cast<std::uint16_t>(Take(2)); }
  std::uint32_t Dword() { return static_cast<std::uint32_t>(Take(4)); }
  std::uint8_t Byte() { return static_cast<std::uint8_t>(Take(1)); }
  std::int16_t Short() { return static_cast<std::int16_t>(Word()); }

  // A string; an ordinal reads as "#" and its number.
  std::u16string StringOrOrdinal() {
    const std::uint16_t first = Word();
    if (first == 0xFFFF) {
      std::u16string ordinal(1, u'#');
      ordinal.append(text::FromUtf8(std::to_string(Word())));
      return ordinal;
    }
    std::u16string out;
    for (std::uint16_t c = first; c != 0 && !overran_; c = Word()) out += static_cast<char16_t>(c);
    return out;
  }
  // The predefined control classes may be stored by ordinal or by name, in any case.
  std::u16string ClassName() {
    static const std::map<std::u16string, std::u16string> kOrdinals = {
        {u"#128", u"BUTTON"}, {u"#129", u"EDIT"}, {u"#130", u"STATIC"}, {u"#131", u"LISTBOX"}, {u"#133", u"COMBOBOX"}};
    std::u16string name = StringOrOrdinal();
    if (const auto known = kOrdinals.find(name); known != kOrdinals.end()) return known->second;
    for (char16_t& c : name) c = c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
    return name;
  }
  void AlignToDword() { at_ = (at_ + 3) & ~std::size_t{3}; }
  bool Overran() const { return overran_; }

 private:
  std::uint32_t Take(std::size_t size) {
    std::uint32_t value = 0;
    if (at_ + size > data_.size()) {
      overran_ = true;
      return 0;
    }
    for (std::size_t i = size; i-- > 0;) value = value << 8 | static_cast<unsigned char>(data_[at_ + i]);
    at_ += size;
    return value;
  }
  std::string_view data_;
  std::size_t at_ = 0;
  bool overran_ = false;
};

std::u16string ExpectedClass(ControlKind kind) {
  switch (kind) {
    case ControlKind::PushButton:
    case ControlKind::CheckBox:
    case ControlKind::GroupBox:
      return u"BUTTON";
    case ControlKind::Edit:
    case ControlKind::MultiLineEdit:
      return u"EDIT";
    case ControlKind::StaticText:
      return u"STATIC";
    case ControlKind::ComboBox:
    case ControlKind::DropDownList:
      return u"COMBOBOX";
    case ControlKind::UpDown:
      return u"MSCTLS_UPDOWN32";
    case ControlKind::ListBox:
      return u"LISTBOX";
  }
  return u"?";
}

TEST(CompiledResources, DialogTemplatesAreExactlyTheData) {
  for (const DialogTemplate* dialog : {&MainDialogTemplate(), &FilterDialogTemplate()}) {
    SCOPED_TRACE(dialog->id);
    const std::string_view data = Resource(dialog->id, RT_DIALOG);
    ASSERT_FALSE(data.empty());
    TemplateReader in(data);
    EXPECT_EQ(in.Word(), 1);  // extended template
    EXPECT_EQ(in.Word(), 0xFFFF);
    in.Dword();  // help id
    EXPECT_EQ(in.Dword(), dialog->exStyle);
    EXPECT_EQ(in.Dword(), dialog->style);
    ASSERT_EQ(in.Word(), dialog->controls.size());
    EXPECT_EQ(in.Short(), 0);
    EXPECT_EQ(in.Short(), 0);
    EXPECT_EQ(in.Short(), dialog->cx);
    EXPECT_EQ(in.Short(), dialog->cy);
    EXPECT_EQ(in.StringOrOrdinal(), u"");  // no menu
    EXPECT_EQ(in.StringOrOrdinal(), u"");  // no class of its own
    EXPECT_EQ(in.StringOrOrdinal(), dialog->caption);
    EXPECT_EQ(in.Word(), dialog->fontPoints);
    EXPECT_EQ(in.Word(), 400);  // weight
    EXPECT_EQ(in.Byte(), 0);    // not italic
    EXPECT_EQ(in.Byte(), 1);    // DEFAULT_CHARSET
    EXPECT_EQ(in.StringOrOrdinal(), dialog->fontName);
    for (const ControlTemplate& c : dialog->controls) {
      SCOPED_TRACE(c.name);
      in.AlignToDword();
      in.Dword();  // help id
      EXPECT_EQ(in.Dword(), c.exStyle);
      EXPECT_EQ(in.Dword(), c.style);
      EXPECT_EQ(in.Short(), c.x);
      EXPECT_EQ(in.Short(), c.y);
      EXPECT_EQ(in.Short(), c.cx);
      EXPECT_EQ(in.Short(), c.cy);
      EXPECT_EQ(static_cast<int>(in.Dword()), c.id);
      EXPECT_EQ(in.ClassName(), ExpectedClass(c.kind));
      EXPECT_EQ(in.StringOrOrdinal(), c.caption);
      EXPECT_EQ(in.Word(), 0);  // no creation data
    }
    EXPECT_FALSE(in.Overran());
  }
}

TEST(CompiledResources, EveryStringLoadsInEveryLanguage) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  for (int id = 0; id < 1000; ++id) {
    const wchar_t* text = nullptr;
    const int length = LoadStringW(instance, id, reinterpret_cast<wchar_t*>(&text), 0);  // points into the resource
    const char16_t* expected = FindResourceString(id);
    if (!expected) {
      EXPECT_EQ(length, 0) << id;
      continue;
    }
    ASSERT_GT(length, 0) << id;
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(text), length), expected) << id;
  }
}

TEST(CompiledResources, IconAndManifestAreEmbedded) {
  EXPECT_FALSE(Resource(IDR_MAINFRAME, RT_GROUP_ICON).empty());
  const std::string_view manifest = Resource(1, RT_MANIFEST);  // the process manifest
  for (const char* part : {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"", "level=\"asInvoker\"",
                           ">true</dpiAware>"}) {
    EXPECT_NE(manifest.find(part), std::string_view::npos) << part;
  }
}

}  // namespace
