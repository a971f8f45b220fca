// Line end and Append on what the send box sends, on a real pty.

#include "hub/send_fixture.h"

namespace {

class FrameEndingSendTest : public SendTest {};

TEST_F(FrameEndingSendTest, TheSendBoxFrameGetsItsChecksumThenItsLineEndAndTheLabelShowsIt) {
  StartOpen();
  EXPECT_EQ(ComboItems(IDC_APPEND).size(), 6u);
  EXPECT_EQ(Text(IDC_LINEEND), u"None");
  W().PickComboItem(IDC_APPEND, 3);  // CRC-16/MODBUS
  SetTxHex(true);
  W().Replace(IDC_TX_EDIT, u"01 03 00 00 00 01");
  EXPECT_EQ(Text(IDC_APPEND_VALUE), u"+ 84 0A");
  EXPECT_EQ(Text(IDC_CHECKSUM), u"CRC xor:03  add:05") << "the label keeps its XOR and sum";
  W().Click(IDC_SEND);
  EXPECT_EQ(pty.ReadExactly(8), Bytes({0x01, 0x03, 0x00, 0x00, 0x00, 0x01, 0x84, 0x0A}));

  W().PickComboItem(IDC_APPEND, 0);
  EXPECT_EQ(Text(IDC_APPEND_VALUE), u"");
  W().PickComboItem(IDC_LINEEND, 1);  // CR
  SetTxHex(false);
  Send(u"AT+GMR");
  EXPECT_EQ(pty.ReadExactly(7), Bytes("AT+GMR\r"));
  EXPECT_TRUE(PumpUntilText(IDC_TX_COUNT, u"TX:15")) << "TX counts what went out, endings included";
  EXPECT_TRUE(pty.ReadUntilQuiet().empty());
  EXPECT_EQ(Setting(u"LineEnd"), u"CR");
  EXPECT_EQ(Setting(u"AppendCheck"), u"None");

  dlg.reset();
  Start(950);
  EXPECT_EQ(Text(IDC_LINEEND), u"CR");
  EXPECT_EQ(Text(IDC_APPEND), u"無");
  EXPECT_EQ(Text(IDC_LBL_APPEND), u"校驗");
}

}  // namespace
