#include <gtest/gtest.h>

#include "hub/send_fixture.h"

using KeyboardTest = SendTest;

namespace {
constexpr int kKeyA = 0x41;
constexpr int kKeyH = 0x48;
}  // namespace

TEST_F(KeyboardTest, EnterInTheSendBoxSendsAndEmptiesCtrlEnterKeepsAltEnterBreaksTheLine) {
  StartOpen();
  W().Focus(IDC_TX_EDIT);
  W().Replace(IDC_TX_EDIT, u"AB");
  W().PressKey(VK_RETURN);
  EXPECT_EQ(pty.ReadExactly(2), Bytes("AB"));
  EXPECT_EQ(Text(IDC_TX_EDIT), u"");

  W().Replace(IDC_TX_EDIT, u"AB");
  W().PressKey(VK_RETURN, /*ctrl=*/true);
  EXPECT_EQ(pty.ReadExactly(2), Bytes("AB"));
  EXPECT_EQ(Text(IDC_TX_EDIT), u"AB");

  W().PressKey(VK_RETURN, /*ctrl=*/false, /*alt=*/true);
  EXPECT_EQ(Text(IDC_TX_EDIT), u"AB\r\n");
  EXPECT_EQ(ReadUpToMarker(0), Bytes(""));
}

TEST_F(KeyboardTest, EnterIsALineBreakWhileClosedOrOutsideTheSendBox) {
  Start();
  W().Focus(IDC_TX_EDIT);
  W().Replace(IDC_TX_EDIT, u"AB");
  W().PressKey(VK_RETURN);
  EXPECT_EQ(Text(IDC_TX_EDIT), u"AB\r\n");

  OpenOn(pty);
  W().Focus(IDC_RX_EDIT);
  KeyMessage enter{IDC_RX_EDIT, WM_KEYDOWN, VK_RETURN, 0};
  EXPECT_FALSE(dlg->PreTranslateMessage(enter)) << "the receive box gets its Enter";
  W().PressKey(VK_RETURN);
  EXPECT_EQ(ReadUpToMarker(0), Bytes(""));
}

TEST_F(KeyboardTest, EnterAndEscNeverActOnTheDialogAndTabMovesTheFocus) {
  Start();
  W().Replace(IDC_PORT, pty.PortName());
  for (int button : {IDC_OPEN, IDC_SEND}) {
    W().Focus(button);
    W().PressKey(VK_RETURN);
    W().PressKey(VK_ESCAPE);
  }
  W().Focus(IDC_TX_INTERVAL);
  W().PressKey(VK_RETURN);
  EXPECT_FALSE(PortOpen());
  EXPECT_FALSE(W().Ended());

  W().Focus(IDC_TX_EDIT);
  W().PressKey(VK_TAB);
  EXPECT_NE(W().GetFocusId(), IDC_TX_EDIT);
}

TEST_F(KeyboardTest, CtrlASelectsAllInEitherBigBoxAndNothingElsewhere) {
  Start();
  W().Replace(IDC_TX_EDIT, u"hello\r\nworld");
  W().Focus(IDC_TX_EDIT);
  W().PressKey(kKeyA, /*ctrl=*/true);
  int start = -1, end = -1;
  W().EditGetSel(IDC_TX_EDIT, start, end);
  EXPECT_EQ(start, 0);
  EXPECT_EQ(end, 12);
  EXPECT_EQ(Text(IDC_TX_EDIT), u"hello\r\nworld");

  Receive("received");
  W().Focus(IDC_RX_EDIT);
  W().PressKey(kKeyA, /*ctrl=*/true);
  W().EditGetSel(IDC_RX_EDIT, start, end);
  EXPECT_EQ(start, 0);
  EXPECT_EQ(end, 8);

  W().Focus(IDC_TX_INTERVAL);
  W().EditSetSel(IDC_TX_INTERVAL, 1, 1);
  W().PressKey(kKeyA, /*ctrl=*/true);
  W().EditGetSel(IDC_TX_INTERVAL, start, end);
  EXPECT_EQ(start, 1);
  EXPECT_EQ(end, 1);
  EXPECT_EQ(Text(IDC_TX_INTERVAL), u"1000");
}

TEST_F(KeyboardTest, CtrlHSwitchesBothHexModesFromAnyFocus) {
  Start();
  W().Replace(IDC_TX_EDIT, u"01 02 03");
  for (int focus : {IDC_TX_EDIT, IDC_RX_EDIT, IDC_TX_INTERVAL, IDC_SEND}) {
    W().Focus(focus);
    W().PressKey(kKeyH, /*ctrl=*/true);
    EXPECT_EQ(W().GetCheck(IDC_RX_HEX), BST_CHECKED) << focus;
    EXPECT_EQ(W().GetCheck(IDC_TX_HEX), BST_CHECKED) << focus;
    EXPECT_TRUE(W().IsEnabled(IDC_RX_ADDSPACE));
    EXPECT_TRUE(W().IsEnabled(IDC_TX_IGNORESPACE));
    EXPECT_EQ(Text(IDC_CHECKSUM), u"CRC xor:00  add:06");

    W().PressKey(kKeyH, /*ctrl=*/true);
    EXPECT_EQ(W().GetCheck(IDC_RX_HEX), BST_UNCHECKED) << focus;
    EXPECT_EQ(W().GetCheck(IDC_TX_HEX), BST_UNCHECKED) << focus;
    EXPECT_FALSE(W().IsEnabled(IDC_RX_ADDSPACE));
    EXPECT_FALSE(W().IsEnabled(IDC_TX_IGNORESPACE));
    EXPECT_EQ(Text(IDC_CHECKSUM), u"CRC xor:00  add:00");
  }
  EXPECT_EQ(Text(IDC_TX_EDIT), u"01 02 03");

  // The receive box alone decides: send hex already on stays on.
  W().Click(IDC_TX_HEX);
  W().PressKey(kKeyH, /*ctrl=*/true);
  EXPECT_EQ(W().GetCheck(IDC_RX_HEX), BST_CHECKED);
  EXPECT_EQ(W().GetCheck(IDC_TX_HEX), BST_CHECKED);
  EXPECT_TRUE(W().IsEnabled(IDC_TX_IGNORESPACE));
}

TEST_F(KeyboardTest, CountClearResetsBothCountersAndTheyCountOnFromZero) {
  StartOpen();
  Send(u"abc");
  ASSERT_TRUE(PumpUntilText(IDC_TX_COUNT, u"TX:3"));
  ASSERT_TRUE(pty.WriteAll(Bytes("xy")));
  ASSERT_TRUE(PumpUntilText(IDC_RX_COUNT, u"RX:2"));

  W().Click(IDC_COUNT_CLEAR);
  EXPECT_EQ(Text(IDC_RX_COUNT), u"RX:0");
  EXPECT_EQ(Text(IDC_TX_COUNT), u"TX:0");
  EXPECT_EQ(dlg->GetReceiver().Text(), u"xy");

  ASSERT_TRUE(pty.WriteAll(Bytes("z")));
  EXPECT_TRUE(PumpUntilText(IDC_RX_COUNT, u"RX:1"));
  Send(u"d");
  EXPECT_TRUE(PumpUntilText(IDC_TX_COUNT, u"TX:1"));
}
