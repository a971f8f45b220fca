#include <gtest/gtest.h>

#include "hub/send_fixture.h"
#include "platform/window_messages.h"

namespace {
struct HexCase {
  const char16_t* box;
  std::vector<std::uint8_t> sent;
};
}  // namespace

TEST_F(SendTest, HexPairsAreReadLikeSignedBase16Numbers) {
  StartOpen();
  SetTxHex(true);
  const HexCase cases[] = {
      {u"01 02 03", Bytes({0x01, 0x02, 0x03})},
      {u"a", Bytes({0x0A})},
      {u"abc", Bytes({0xAB})},
      {u"G1", Bytes({0x00})},
      {u"1G", Bytes({0x01})},
      {u"-1", Bytes({0xFF})},
      {u"+F", Bytes({0x0F})},
      {u"0X", Bytes({0x00})},
      {u"\t7", Bytes({0x07})},
      {u"Ff", Bytes({0xFF})},
      {u"0102\r\n0304", Bytes({0x01, 0x02, 0x03, 0x04})},
      // Line breaks go before pairing, so the "2" and the "3" meet across the break.
      {u"012\r\n34", Bytes({0x01, 0x23})},
      {u"", {}},
      {u"   ", {}},
      {u"\r\n\r\n", {}},
  };
  std::uint64_t total = 0;
  for (const auto& c : cases) {
    Send(c.box);
    EXPECT_EQ(ReadUpToMarker(c.sent.size()), c.sent) << text::ToUtf8(c.box);
    total += c.sent.size() + 1;  // and the marker
  }
  EXPECT_TRUE(PumpUntilText(IDC_TX_COUNT, u"TX:" + text::Decimal(total)));
}

TEST_F(SendTest, IgnoreSpaceDecidesWhetherSpacesTakePartInPairing) {
  StartOpen();
  SetTxHex(true);
  SetIgnoreSpace(false);
  Send(u"01 02 03");
  EXPECT_EQ(ReadUpToMarker(4), Bytes({0x01, 0x00, 0x02, 0x03}));

  // Only U+0020 goes: a tab still pairs.
  SetIgnoreSpace(true);
  Send(u"01 \t2");
  EXPECT_EQ(ReadUpToMarker(2), Bytes({0x01, 0x02}));

  // Leaving hex mode greys the option but keeps its mark, and coming back keeps its effect.
  SetTxHex(false);
  EXPECT_FALSE(W().IsEnabled(IDC_TX_IGNORESPACE));
  EXPECT_EQ(W().GetCheck(IDC_TX_IGNORESPACE), BST_CHECKED);
  SetTxHex(true);
  EXPECT_TRUE(W().IsEnabled(IDC_TX_IGNORESPACE));
  Send(u"01 02 03");
  EXPECT_EQ(ReadUpToMarker(3), Bytes({0x01, 0x02, 0x03}));
}

TEST_F(SendTest, TextIsSentWithLineEndsReducedToLineFeeds) {
  StartOpen();
  Send(u"a\r\nb");
  EXPECT_EQ(ReadUpToMarker(3), Bytes("a\nb"));
  Send(u"a\r\r\nb\rc\n");
  EXPECT_EQ(ReadUpToMarker(6), Bytes("a\nb\rc\n"));
  // An empty box posts an empty request, which writes nothing and counts nothing.
  Send(u"");
  EXPECT_EQ(ReadUpToMarker(0), Bytes(""));
  EXPECT_TRUE(PumpUntilText(IDC_TX_COUNT, u"TX:12"));
}

TEST_F(SendTest, TextIsConvertedWithTheCodePage) {
  StartOpen(936);
  Send(u"中A");
  EXPECT_EQ(ReadUpToMarker(3), Bytes({0xD6, 0xD0, 0x41}));
}

TEST_F(SendTest, NothingGoesOutWhileThePortIsClosedNorAfterItOpens) {
  Start();
  for (bool hex : {false, true}) {
    SetTxHex(hex);
    Send(u"01");
  }
  OpenOn(pty);
  EXPECT_EQ(ReadUpToMarker(0), Bytes(""));
  EXPECT_EQ(Text(IDC_TX_COUNT), u"TX:0");
}

TEST_F(SendTest, EveryRequestKeepsItsOwnBytes) {
  StartOpen();
  Send(u"first");
  Send(u"second");
  EXPECT_EQ(pty.ReadExactly(11), Bytes("firstsecond"));
}

TEST_F(SendTest, ClearSendEmptiesTheBoxAndRefreshesTheChecksum) {
  Start();
  SetTxHex(true);
  W().Replace(IDC_TX_EDIT, u"01 02");
  ASSERT_EQ(Text(IDC_CHECKSUM), u"CRC xor:03  add:03");
  // The button is hidden; its notification still works.
  dlg->SendNotify(BN_CLICKED, IDC_TX_CLEAR);
  EXPECT_EQ(Text(IDC_TX_EDIT), u"");
  EXPECT_EQ(Text(IDC_CHECKSUM), u"CRC xor:00  add:00");
}

TEST_F(SendTest, TxCountIsUnsigned64Bit) {
  StartOpen();
  Sender& sender = dlg->GetSender();
  sender.OnWritten(4294967290u, false, sender.CurrentConnection());
  Send(u"0123456789");
  EXPECT_TRUE(PumpUntilText(IDC_TX_COUNT, u"TX:4294967300"));
  sender.OnWritten(18446744073709551615u - 4294967300u - 5, false, sender.CurrentConnection());
  sender.OnWritten(5, false, sender.CurrentConnection());
  EXPECT_EQ(Text(IDC_TX_COUNT), u"TX:18446744073709551615");
}

TEST_F(SendTest, AWriteCutShortCountsWhatWentOutAndFailsOnce) {
  StartOpen();
  Sender& sender = dlg->GetSender();
  const std::uint64_t connection = sender.CurrentConnection();
  sender.OnWritten(3, true, connection);
  sender.OnWritten(0, true, connection);  // a request queued behind it
  EXPECT_EQ(Text(IDC_TX_COUNT), u"TX:3");
  EXPECT_EQ(MessageTexts(), std::vector<std::u16string>{u"Send Fail"});
  EXPECT_FALSE(PortOpen());
}

TEST_F(SendTest, AFailureReportedAfterCloseIsSilent) {
  StartOpen();
  const std::uint64_t connection = dlg->GetSender().CurrentConnection();
  W().Click(IDC_OPEN);
  dlg->GetSender().OnWritten(0, true, connection);
  EXPECT_TRUE(toolkit.messageBoxes.empty());
  EXPECT_EQ(Text(IDC_TX_COUNT), u"TX:0");
}
