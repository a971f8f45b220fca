#include <gtest/gtest.h>

#include <vector>

#include "res/resource.h"
#include "support/hub_fixture.h"
#include "support/manual_stamp_clock.h"

namespace {

class StampsTest : public HubTest {
 protected:
  void StartStamped() {
    Start();
    W().Click(IDC_RX_AUTOCLEAR);  // off
    dlg->GetReceiver().UseClock(std::make_unique<testsupport::ManualStampClock>(now));
    W().Click(IDC_RX_TIMESTAMP);
  }
  std::u16string Box() { return Text(IDC_RX_EDIT); }

  // 13:05:09.042 at first.
  std::shared_ptr<std::int64_t> now = std::make_shared<std::int64_t>(((13 * 60 + 5) * 60 + 9) * 1000 + 42);
};

}  // namespace

TEST_F(StampsTest, EachLineGetsTheTimeItBeganToArriveOnce) {
  StartStamped();
  Receive("ab");
  *now += 5;
  Receive("c\r\nd");
  *now += 1000;
  Receive("e\nf\n");
  EXPECT_EQ(Box(),
            u"[13:05:09.042] abc\r\n[13:05:09.047] de\n[13:05:10.047] f\n");
  Receive("g");
  EXPECT_EQ(Box().substr(Box().size() - 16), u"[13:05:10.047] g");
  EXPECT_EQ(Text(IDC_RX_COUNT), u"RX:11") << "stamps are not received bytes";
}

TEST_F(StampsTest, ACrAndItsLfInTwoChunksEndOneLineAndALoneCrEndsOne) {
  StartStamped();
  Receive("a\r");
  *now += 1;
  Receive("\nb\r");
  *now += 1;
  Receive("c");
  EXPECT_EQ(Box(), u"[13:05:09.042] a\r\n[13:05:09.043] b\r[13:05:09.044] c");
}

TEST_F(StampsTest, HexFramesBreakAtAnIdleGapOfTheSetLength) {
  StartStamped();
  W().Click(IDC_RX_HEX);
  W().Replace(IDC_IDLE_GAP, u"20");
  Receive("\x01\x02");
  *now += 19;
  Receive("\x03");
  *now += 21;
  Receive("\x04");
  *now += 20;
  Receive("\x05");
  EXPECT_EQ(Box(), u"[13:05:09.042] 01 02 03 \r\n[13:05:09.082] 04 \r\n[13:05:09.102] 05 ");
}

TEST_F(StampsTest, WithoutStampsTheViewIsAsBefore) {
  Start();
  dlg->GetReceiver().UseClock(std::make_unique<testsupport::ManualStampClock>(now));
  Receive("a\r\nb");
  W().Click(IDC_RX_HEX);
  Receive("\x01");
  *now += 100;
  Receive("\x02");
  EXPECT_EQ(Box(), u"a\r\nb01 02 ");
}

// The filter sees received text only: a stamp is neither removed nor part of a match, and
// removing a condition never joins text across one.
TEST_F(StampsTest, TheFilterNeverTouchesOrMatchesAcrossAStamp) {
  StartStamped();
  SetFilter(u"0,\r\nb");
  Receive("a0\r\nb0\r\n");
  EXPECT_EQ(Box(), u"[13:05:09.042] a\r\n[13:05:09.042] b\r\n");
  Receive("x\r");
  Receive("\nb");
  EXPECT_EQ(Box(), u"[13:05:09.042] a\r\n[13:05:09.042] b\r\n[13:05:09.042] x\r\n[13:05:09.042] b");
}
