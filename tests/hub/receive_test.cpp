#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "res/resource.h"
#include "support/hub_fixture.h"
#include "support/pty_pair.h"

namespace {

class ReceiveTest : public HubTest {
 protected:
  std::u16string Box() { return Text(IDC_RX_EDIT); }
};

}  // namespace

TEST_F(ReceiveTest, TextAndBothHexFormsOfTheSameBytes) {
  Start();
  Receive("AB\r\n");
  EXPECT_EQ(Box(), u"AB\r\n");
  W().Click(IDC_RX_HEX);
  EXPECT_TRUE(W().IsEnabled(IDC_RX_ADDSPACE));
  Receive("AB\r\n");
  EXPECT_EQ(Box(), u"AB\r\n41 42 0D 0A ");
  W().Click(IDC_RX_ADDSPACE);
  Receive(std::string("AB\r\n\0", 5));
  EXPECT_EQ(Box(), u"AB\r\n41 42 0D 0A 41420D0A00");
  W().Click(IDC_RX_HEX);
  EXPECT_FALSE(W().IsEnabled(IDC_RX_ADDSPACE));
  Receive(std::string("x\0y", 3));
  EXPECT_EQ(Box(), std::u16string(u"AB\r\n41 42 0D 0A 41420D0A00x\0y", 29));
  EXPECT_EQ(Text(IDC_RX_COUNT), u"RX:16");
  EXPECT_EQ(Text(IDC_GRP_RX), u"Receive 2");
}

TEST_F(ReceiveTest, AChunkOfAnySizeIsTakenWhole) {
  Start();
  W().Click(IDC_RX_AUTOCLEAR);  // off
  Receive(std::string(5000, 'a'));
  EXPECT_EQ(Box(), std::u16string(5000, u'a'));
  EXPECT_EQ(Text(IDC_RX_COUNT), u"RX:5000");
}

TEST_F(ReceiveTest, AutoClearEmptiesTheBoxOnceItHas200LinesBeforeAppending) {
  Start();
  for (int i = 0; i < 198; ++i) Receive("line\r\n");
  EXPECT_EQ(Text(IDC_GRP_RX), u"Receive 199");  // the empty last line counts
  Receive("more\r\n");
  EXPECT_EQ(Text(IDC_GRP_RX), u"Receive 200");
  EXPECT_EQ(Box().size(), 199u * 6);
  Receive("fresh");
  EXPECT_EQ(Box(), u"fresh");
  EXPECT_EQ(Text(IDC_GRP_RX), u"Receive 1");
  EXPECT_EQ(Text(IDC_RX_COUNT), u"RX:1199");
}

TEST_F(ReceiveTest, LongLinesCountEveryWrappedDisplayLine) {
  Start();
  W().Click(IDC_RX_AUTOCLEAR);  // off
  Receive(std::string(HeadlessWindow::kCharsPerLine * 3 + 1, 'w'));
  EXPECT_EQ(Text(IDC_GRP_RX), u"Receive 4");
}

TEST_F(ReceiveTest, ClearKeepsCounterAndCaptionUntilTheNextChunk) {
  Start();
  Receive("one\r\ntwo\r\n");
  W().Click(IDC_RX_CLEAR);
  EXPECT_EQ(Box(), u"");
  EXPECT_EQ(Text(IDC_RX_COUNT), u"RX:10");
  EXPECT_EQ(Text(IDC_GRP_RX), u"Receive 3");
  Receive("x");
  EXPECT_EQ(Text(IDC_GRP_RX), u"Receive 1");
}

TEST_F(ReceiveTest, ACharacterCutByAChunkBoundaryIsShownWhole) {
  struct Case {
    unsigned codePage;
    std::string bytes;
    std::u16string text;
  };
  const Case cases[] = {{65001, "\xE4\xB8\xAD\xF0\x9F\x98\x80", u"中😀"},
                        {936, "\xD6\xD0\xCE\xC4", u"中文"},
                        {950, "\xA4\xA4\xA4\xE5", u"中文"}};
  for (const auto& c : cases) {
    Start(c.codePage);
    for (std::size_t split = 1; split < c.bytes.size(); ++split) {
      W().Click(IDC_RX_CLEAR);
      Receive(c.bytes.substr(0, split));
      Receive(c.bytes.substr(split));
      EXPECT_EQ(Box(), c.text) << c.codePage << " split at " << split;
    }
    dlg.reset();
  }
}

TEST_F(ReceiveTest, SwitchingToHexDropsAHalfCharacter) {
  Start(65001);
  Receive("\xE4\xB8");
  W().Click(IDC_RX_HEX);
  W().Click(IDC_RX_HEX);
  Receive("A");
  EXPECT_EQ(Box(), u"A");
}

TEST_F(ReceiveTest, FilterRemovesEachConditionFromTheWholeText) {
  Start();
  toolkit.ScriptModal(IDD_FILTER, [](HeadlessWindow& w) {
    w.Replace(IDC_FILTER_TEXT, u"OK,ERR");
    w.Click(IDOK);
  });
  W().Click(IDC_FILTER_SET);
  ASSERT_EQ(W().GetCheck(IDC_RX_FILTER), BST_CHECKED);
  EXPECT_EQ(Setting(u"Filter"), u"OK,ERR");

  Receive("AT\r\n");
  Receive("OK\r\nERR 5\r\n");
  EXPECT_EQ(Box(), u"AT\r\n\r\n 5\r\n");
  W().Click(IDC_RX_CLEAR);
  Receive("xO");
  Receive("Ky");  // a condition split across two chunks goes when the second arrives
  EXPECT_EQ(Box(), u"xy");
  W().Click(IDC_RX_CLEAR);
  Receive("OOKK");  // one pass per chunk: the outer pair waits for the next chunk
  EXPECT_EQ(Box(), u"OK");
  Receive("ok");
  EXPECT_EQ(Box(), u"ok");
  EXPECT_EQ(Text(IDC_RX_COUNT), u"RX:25");
}

TEST_F(ReceiveTest, FilterInHexModeMatchesTheHexText) {
  Start();
  toolkit.ScriptModal(IDD_FILTER, [](HeadlessWindow& w) {
    w.Replace(IDC_FILTER_TEXT, u"0D0A");
    w.Click(IDOK);
  });
  W().Click(IDC_FILTER_SET);
  W().Click(IDC_RX_HEX);
  W().Click(IDC_RX_ADDSPACE);
  Receive("\x10\xD0\xA5");
  EXPECT_EQ(Box(), u"15");
}

TEST_F(ReceiveTest, CancelOrEmptyOkTurnsTheFilterOffAndEmptyOkSavesNothing) {
  Start();
  toolkit.ScriptModal(IDD_FILTER, [](HeadlessWindow& w) {
    w.Replace(IDC_FILTER_TEXT, u"a, b");
    w.Click(IDOK);
  });
  W().Click(IDC_FILTER_SET);
  Receive("a b!");
  EXPECT_EQ(Box(), u"!");

  toolkit.ScriptModal(IDD_FILTER, [](HeadlessWindow& w) {
    EXPECT_EQ(w.GetText(IDC_FILTER_TEXT), u"a, b");
    w.Replace(IDC_FILTER_TEXT, u"zzz");
    w.PressKey(VK_ESCAPE);
  });
  W().Click(IDC_FILTER_SET);
  EXPECT_EQ(W().GetCheck(IDC_RX_FILTER), BST_UNCHECKED);
  EXPECT_EQ(dlg->GetReceiver().FilterText(), u"a, b");
  Receive("a b");
  EXPECT_EQ(Box(), u"!a b");

  toolkit.ScriptModal(IDD_FILTER, [](HeadlessWindow& w) {
    w.Replace(IDC_FILTER_TEXT, u"");
    w.PressKey(VK_RETURN);  // Enter in the condition box presses OK
  });
  W().Click(IDC_FILTER_SET);
  EXPECT_EQ(W().GetCheck(IDC_RX_FILTER), BST_UNCHECKED);
  EXPECT_FALSE(dlg->GetReceiver().FilterOn());
  EXPECT_EQ(Setting(u"Filter"), u"a, b");
}

TEST_F(ReceiveTest, CheckingTheFilterBoxReloadsTheWholeSettingsFile) {
  WriteSettings("[Setting]\nBaudRate=4800\nPath=/p/\nFilter=X\n");
  Start();
  W().Replace(IDC_BAUD, u"115200");
  W().Click(IDC_RX_FILTER);
  EXPECT_EQ(Text(IDC_BAUD), u"4800");
  EXPECT_TRUE(dlg->GetReceiver().FilterOn());
  Receive("aXb");
  EXPECT_EQ(Box(), u"ab");
  W().Click(IDC_RX_FILTER);
  Receive("X");
  EXPECT_EQ(Box(), u"abX");
}

TEST_F(ReceiveTest, PauseCloseOpenContinueKeepsDataFlowing) {
  testsupport::PtyPair pty;
  Start();
  W().Replace(IDC_PORT, pty.PortName());
  W().Click(IDC_OPEN);
  W().Click(IDC_RX_PAUSE);
  EXPECT_EQ(Text(IDC_RX_PAUSE), u"Contiune");
  ASSERT_TRUE(pty.WriteAll(std::vector<std::uint8_t>{'h', 'i'}));
  toolkit.PumpUntil([] { return false; }, std::chrono::milliseconds(150));
  EXPECT_EQ(Box(), u"");
  W().Click(IDC_OPEN);  // close
  EXPECT_EQ(Text(IDC_RX_PAUSE), u"Contiune");
  W().Click(IDC_OPEN);  // open again: bytes queued before are purged
  EXPECT_TRUE(W().IsEnabled(IDC_RX_PAUSE));
  W().Click(IDC_RX_PAUSE);
  EXPECT_EQ(Text(IDC_RX_PAUSE), u"Pause");
  ASSERT_TRUE(pty.WriteAll(std::vector<std::uint8_t>{'o', 'k'}));
  EXPECT_TRUE(toolkit.PumpUntil([&] { return Box() == u"ok"; }));
  W().Click(IDC_RX_PAUSE);
  EXPECT_EQ(Text(IDC_RX_PAUSE), u"Contiune");
}

TEST_F(ReceiveTest, BytesFromThePortAppearInTheBox) {
  testsupport::PtyPair pty;
  Start();
  W().Replace(IDC_PORT, pty.PortName());
  W().Click(IDC_OPEN);
  std::vector<std::uint8_t> bytes(5000);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>('a' + i % 26);
  W().Click(IDC_RX_AUTOCLEAR);
  ASSERT_TRUE(pty.WriteAll(bytes));
  EXPECT_TRUE(toolkit.PumpUntil([&] { return Text(IDC_RX_COUNT) == u"RX:5000"; }));
  EXPECT_EQ(Box(), std::u16string(bytes.begin(), bytes.end()));
}
