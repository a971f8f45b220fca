#include <gtest/gtest.h>

#include <string>

#include "hub/send_fixture.h"
#include "support/manual_stamp_clock.h"

namespace {

class ShowSentTest : public SendTest {
 protected:
  void StartShowingSent() {
    StartOpen();
    W().Click(IDC_RX_AUTOCLEAR);  // off
    W().Click(IDC_SHOW_SENT);
  }
  std::u16string Box() { return Text(IDC_RX_EDIT); }
  bool Arrives(const std::string& bytes, std::u16string_view boxAfter) {
    return pty.WriteAll(bytes.data(), bytes.size()) && toolkit.PumpUntil([&] { return Box() == boxAfter; });
  }
  bool GoesOut(std::u16string_view sendBox, std::size_t bytes, std::u16string_view boxAfter) {
    Send(sendBox);
    return pty.ReadExactly(bytes).size() == bytes && toolkit.PumpUntil([&] { return Box() == boxAfter; });
  }
};

}  // namespace

TEST_F(ShowSentTest, WhatWentOutStandsOnItsOwnMarkedLineInTheOrderWritten) {
  StartShowingSent();
  ASSERT_TRUE(Arrives("ab", u"ab"));
  ASSERT_TRUE(GoesOut(u"hi", 2, u"ab\r\nTX> hi\r\n")) << text::ToUtf8(Box());
  ASSERT_TRUE(Arrives("cd\r\n", u"ab\r\nTX> hi\r\ncd\r\n"));
  ASSERT_TRUE(GoesOut(u"x\r\ny", 3, u"ab\r\nTX> hi\r\ncd\r\nTX> x\r\nTX> y\r\n")) << text::ToUtf8(Box());
  EXPECT_EQ(Text(IDC_RX_COUNT), u"RX:6");
  EXPECT_EQ(Text(IDC_TX_COUNT), u"TX:5");
  const auto& spans = dlg->GetReceiver().SentSpans();
  ASSERT_EQ(spans.size(), 3u);
  EXPECT_EQ(Box().substr(spans[0].begin, spans[0].end - spans[0].begin), u"TX> hi");
}

TEST_F(ShowSentTest, HexAndStampsMarkSentLinesTheSameWayAndTheFilterLeavesThem) {
  StartShowingSent();
  auto now = std::make_shared<std::int64_t>(1000);
  dlg->GetReceiver().UseClock(std::make_unique<testsupport::ManualStampClock>(now));
  W().Click(IDC_RX_TIMESTAMP);
  SetTxHex(true);
  W().Click(IDC_RX_HEX);
  SetFilter(u"TX,7E ");
  ASSERT_TRUE(Arrives("\x7E\x01", u"[00:00:01.000] 01 "));
  ASSERT_TRUE(GoesOut(u"7E 02", 2, u"[00:00:01.000] 01 \r\n[00:00:01.000] TX> 7E 02 \r\n")) << text::ToUtf8(Box());
  EXPECT_EQ(Text(IDC_RX_COUNT), u"RX:2");
}

TEST_F(ShowSentTest, OffOrPausedTheViewHoldsOnlyWhatArrived) {
  StartOpen();
  Send(u"hi");
  ASSERT_EQ(pty.ReadExactly(2).size(), 2u);
  EXPECT_TRUE(toolkit.PumpUntil([&] { return Text(IDC_TX_COUNT) == u"TX:2"; }));
  W().Click(IDC_SHOW_SENT);
  W().Click(IDC_RX_PAUSE);
  Send(u"ho");
  ASSERT_EQ(pty.ReadExactly(2).size(), 2u);
  EXPECT_TRUE(toolkit.PumpUntil([&] { return Text(IDC_TX_COUNT) == u"TX:4"; }));
  EXPECT_EQ(Box(), u"");
}
