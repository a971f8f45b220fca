#include <gtest/gtest.h>

#include <chrono>

#include "hub/send_fixture.h"
#include "send/send_timers.h"

using namespace std::chrono_literals;

using AutoSendTest = SendTest;

namespace {
struct ChecksumCase {
  const char16_t* box;
  const char16_t* label;
};
}  // namespace

TEST_F(AutoSendTest, ChecksumIsTheXorAndSumOfTheHexBytes) {
  Start();
  EXPECT_EQ(Text(IDC_CHECKSUM), u"CRC xor:00  add:00");
  W().Replace(IDC_TX_EDIT, u"01 02 03");
  EXPECT_EQ(Text(IDC_CHECKSUM), u"CRC xor:00  add:00") << "text mode";
  W().Click(IDC_TX_HEX);
  EXPECT_EQ(Text(IDC_CHECKSUM), u"CRC xor:00  add:06");
  const ChecksumCase cases[] = {
      {u"FF FF", u"CRC xor:00  add:fe"},
      {u"", u"CRC xor:00  add:00"},
      {u"7", u"CRC xor:07  add:07"},
      // Line breaks take part in the pairing: 01, "2\r", "\n3"; the 4 is left over.
      {u"012\r\n34", u"CRC xor:00  add:06"},
      // A break on a pair boundary reads as 0.
      {u"0A\r\n0B", u"CRC xor:01  add:15"},
  };
  for (const auto& c : cases) {
    W().Replace(IDC_TX_EDIT, c.box);
    EXPECT_EQ(Text(IDC_CHECKSUM), c.label) << text::ToUtf8(c.box);
  }
  W().Click(IDC_TX_HEX);
  EXPECT_EQ(Text(IDC_CHECKSUM), u"CRC xor:00  add:00");
}

TEST_F(AutoSendTest, ChecksumFollowsTheSelectionWhileTheBoxHasTheFocus) {
  Start();
  W().Click(IDC_TX_HEX);
  W().Focus(IDC_TX_EDIT);
  W().Replace(IDC_TX_EDIT, u"01 02 03");
  ASSERT_EQ(Text(IDC_CHECKSUM), u"CRC xor:00  add:06");

  W().EditSetSel(IDC_TX_EDIT, 3, 8);  // "02 03": no notification of its own
  toolkit.AdvanceClock(199ms);
  EXPECT_EQ(Text(IDC_CHECKSUM), u"CRC xor:00  add:06");
  toolkit.AdvanceClock(1ms);
  EXPECT_EQ(Text(IDC_CHECKSUM), u"CRC xor:01  add:05");

  // Once the box has lost the focus the label is no longer polled.
  W().Focus(IDC_SEND);
  EXPECT_FALSE(W().TimerArmed(TIMER_CHECKSUM));
  W().EditSetSel(IDC_TX_EDIT, 0, 2);
  toolkit.AdvanceClock(1s);
  EXPECT_EQ(Text(IDC_CHECKSUM), u"CRC xor:01  add:05");
}

TEST_F(AutoSendTest, AutoSendRepeatsOneIntervalAfterEachSendUntilUnchecked) {
  StartOpen();
  W().Replace(IDC_TX_INTERVAL, u"1000");
  W().Replace(IDC_TX_EDIT, u"1");
  W().Click(IDC_TX_AUTOSEND);
  EXPECT_EQ(Setting(u"Interval"), u"1000");

  // Each step changes the box first, so a send that came too early would show its old text.
  toolkit.AdvanceClock(999ms);
  W().Replace(IDC_TX_EDIT, u"2");
  toolkit.AdvanceClock(1ms);
  EXPECT_EQ(pty.ReadExactly(1), Bytes("2"));
  W().Replace(IDC_TX_EDIT, u"3");
  W().Replace(IDC_TX_INTERVAL, u"500");  // read afresh at the next re-arm
  toolkit.AdvanceClock(1000ms);
  EXPECT_EQ(pty.ReadExactly(1), Bytes("3"));
  EXPECT_EQ(W().TimerPeriod(TIMER_AUTOSEND), 500u);
  W().Replace(IDC_TX_EDIT, u"4");
  toolkit.AdvanceClock(500ms);
  EXPECT_EQ(pty.ReadExactly(1), Bytes("4"));

  W().Click(IDC_TX_AUTOSEND);
  EXPECT_FALSE(W().TimerArmed(TIMER_AUTOSEND));
  toolkit.AdvanceClock(10s);
  EXPECT_EQ(ReadUpToMarker(0), Bytes(""));
  EXPECT_EQ(Setting(u"Interval"), u"500");
}

TEST_F(AutoSendTest, AutoSendGoesOnThroughACloseAndResumesAtTheNextOpen) {
  StartOpen();
  W().Replace(IDC_TX_INTERVAL, u"100");
  W().Replace(IDC_TX_EDIT, u"x");
  W().Click(IDC_TX_AUTOSEND);
  W().Click(IDC_OPEN);
  toolkit.AdvanceClock(1s);
  EXPECT_TRUE(W().TimerArmed(TIMER_AUTOSEND));
  OpenOn(pty);
  toolkit.AdvanceClock(100ms);
  EXPECT_EQ(pty.ReadExactly(1), Bytes("x"));
}

TEST_F(AutoSendTest, IntervalIsWrittenOnlyWhileAutoSendIsChecked) {
  Start();
  W().Focus(IDC_TX_INTERVAL);
  W().Replace(IDC_TX_INTERVAL, u"250");
  W().Focus(IDC_TX_EDIT);
  EXPECT_EQ(Setting(u"Interval"), u"1000");
  EXPECT_FALSE(W().TimerArmed(TIMER_AUTOSEND));

  W().Click(IDC_TX_AUTOSEND);
  EXPECT_EQ(Setting(u"Interval"), u"250");
  EXPECT_EQ(W().TimerPeriod(TIMER_AUTOSEND), 250u);

  // Leaving the box restarts the timer with the new period and writes the text unchanged.
  W().Focus(IDC_TX_INTERVAL);
  W().Replace(IDC_TX_INTERVAL, u" 500");
  toolkit.AdvanceClock(100ms);
  W().Focus(IDC_TX_EDIT);
  EXPECT_EQ(Setting(u"Interval"), u" 500");
  EXPECT_EQ(W().TimerPeriod(TIMER_AUTOSEND), 500u);

  // Unchecking writes too.
  W().Replace(IDC_TX_INTERVAL, u"750");
  W().Click(IDC_TX_AUTOSEND);
  EXPECT_EQ(Setting(u"Interval"), u"750");
}

TEST_F(AutoSendTest, IntervalTextIsReadInFullAndZeroOrUnreadableMeansTheShortestPeriod) {
  Start();
  W().Click(IDC_TX_AUTOSEND);
  struct Case {
    const char16_t* text;
    UINT period;
  };
  for (const Case c : {Case{u"32767", 32767}, Case{u"1500", 1500}, Case{u"0", 10}, Case{u"", 10},
                       Case{u"abc", 10}, Case{u"3", 10}, Case{u"-1", 0x7FFFFFFF}}) {
    W().Focus(IDC_TX_INTERVAL);
    W().Replace(IDC_TX_INTERVAL, c.text);
    W().Focus(IDC_TX_EDIT);
    EXPECT_EQ(W().TimerPeriod(TIMER_AUTOSEND), c.period) << text::ToUtf8(c.text);
  }
}
