// The View group's Encoding list and Hex dump box on the window.

#include <algorithm>

#include "res/resource.h"
#include "support/file_bytes.h"
#include "support/hub_fixture.h"

namespace {

class ViewOptionsTest : public HubTest {};

// An unfinished dump line: its offset, its pairs, blanks for the pairs to come, its text.
std::u16string OpenLine(std::u16string_view offsetAndPairs, std::size_t pairs, std::u16string_view shown) {
  return std::u16string(offsetAndPairs) + std::u16string(3 * (16 - pairs) + (pairs <= 8 ? 1 : 0) + 1, u' ') +
         std::u16string(shown);
}

TEST_F(ViewOptionsTest, ANewChoiceDropsTheCarriedTailAndAnOlderFileStartsWithTheSystemsEncoding) {
  WriteSettings("[Setting]\r\nCOMPORT=COM1\r\nLineEnd=None\r\nAppendCheck=None\r\n");
  Start(936);
  EXPECT_EQ(Text(IDC_ENCODING), u"\u7CFB\u7EDF");  // System, in Simplified Chinese
  Receive("\xD6");
  Receive("\xD0");
  EXPECT_EQ(Text(IDC_RX_EDIT), u"\u4E2D") << "System is the code page of the locale";

  PickEncoding(u"UTF-8");
  Receive("\xE4\xB8");
  PickEncoding(u"ISO-8859-1");
  Receive("\xAD");
  EXPECT_EQ(Text(IDC_RX_EDIT), u"\u4E2D\u00AD") << "the UTF-8 tail was dropped";
  EXPECT_TRUE(ReadSettingsFile().ends_with("_bCheck=0\r\nEncoding=ISO-8859-1\r\n")) << "after the others";

  dlg.reset();
  Start(1252);
  EXPECT_EQ(Text(IDC_ENCODING), u"ISO-8859-1");
  WriteSettings("[Setting]\r\nEncoding=EBCDIC\r\n");
  dlg.reset();
  Start(1252);
  EXPECT_EQ(Text(IDC_ENCODING), u"System") << "a name that is none of them";
}

TEST_F(ViewOptionsTest, TheDumpCountsFromClearGivesSaveWhatItShowsAndTheFilterStandsAside) {
  Start();
  toolkit.ScriptModal(IDD_FILTER, [](HeadlessWindow& w) {
    w.Replace(IDC_FILTER_TEXT, u"OK");
    w.Click(IDOK);
  });
  W().Click(IDC_FILTER_SET);
  Receive("xyz");
  W().Click(IDC_RX_HEXDUMP);
  EXPECT_FALSE(W().IsEnabled(IDC_RX_FILTER));
  EXPECT_EQ(Setting(u"HexDump"), u"1");
  Receive("OK 0123456789");
  Receive("ABCD");  // the line from offset 3 fills up, and one byte opens the next
  const std::u16string dump = u"xyz\r\n00000003  4F 4B 20 30 31 32 33 34  35 36 37 38 39 41 42 43  OK 0123456789ABC\r\n" +
                              OpenLine(u"00000013  44 ", 1, u"D");
  EXPECT_EQ(Text(IDC_RX_EDIT), dump);
  const auto file = folder.Path() / "dump.txt";
  SaveAs(file);
  EXPECT_EQ(testsupport::ReadFileBytes(file), text::ToUtf8(dump) + "\r\n");

  W().Click(IDC_RX_CLEAR);
  Receive("\x01");
  EXPECT_EQ(Text(IDC_RX_EDIT), OpenLine(u"00000000  01 ", 1, u"."));

  W().Click(IDC_RX_HEXDUMP);
  EXPECT_TRUE(W().IsEnabled(IDC_RX_FILTER));
  Receive("OK!");
  EXPECT_EQ(Text(IDC_RX_EDIT), OpenLine(u"00000000  01 ", 1, u".") + u"\r\n!") << "text again, filtered";
  EXPECT_EQ(Setting(u"HexDump"), u"0");
}

// Wine lacks GB18030: the choice says so instead of showing U+FFFD in silence.
TEST_F(ViewOptionsTest, AnEncodingTheSystemCannotConvertIsReportedWhenChosen) {
  Start();
  PickEncoding(u"GB18030");
  const std::vector<std::u16string> expected =
      platform::IsCodePageAvailable(54936)
          ? std::vector<std::u16string>{}
          : std::vector<std::u16string>{
                u"This system cannot convert GB18030: its characters show as \uFFFD and are sent as \"?\"."};
  EXPECT_EQ(MessageTexts(), expected);
  PickEncoding(u"Big5");
  EXPECT_EQ(MessageTexts(), expected);
}

TEST_F(ViewOptionsTest, AutoClearEmptiesTheDumpButItsOffsetsGoOn) {
  Start();
  W().Click(IDC_RX_HEXDUMP);
  Receive(std::string(200 * 16, 'a'));
  Receive("b");
  EXPECT_EQ(Text(IDC_RX_EDIT), OpenLine(u"00000C80  62 ", 1, u"b"));
}

// The dump rewrites its open line in place: no stamp goes into its columns and no sent line
// behind it, and text after it starts a stamped line of its own.
TEST_F(ViewOptionsTest, TheDumpTakesNoStampsOrSentLinesAndTextAfterItIsStampedAgain) {
  Start();
  W().Click(IDC_RX_TIMESTAMP);
  W().Click(IDC_SHOW_SENT);
  W().Click(IDC_RX_HEXDUMP);
  Receive("A");
  const std::uint8_t sent[] = {'h', 'i'};
  dlg->GetReceiver().Sent(sent);
  Receive("B");
  EXPECT_EQ(Text(IDC_RX_EDIT), OpenLine(u"00000000  41 42 ", 2, u"AB"));

  W().Click(IDC_RX_HEXDUMP);
  Receive("C");
  const std::u16string shown = Text(IDC_RX_EDIT);
  const std::u16string after = shown.substr(OpenLine(u"00000000  41 42 ", 2, u"AB").size());
  ASSERT_EQ(after.size(), std::u16string(u"\r\n[00:00:00.000] C").size()) << text::ToUtf8(shown);
  EXPECT_EQ(after.substr(0, 3), u"\r\n[");
  EXPECT_EQ(after.substr(after.size() - 3), u"] C");
}

}  // namespace
