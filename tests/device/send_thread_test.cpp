#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "hub/send_fixture.h"

using namespace std::chrono_literals;

using SendThreadTest = SendTest;

TEST_F(SendThreadTest, QuickSendsArriveWholeAndInOrder) {
  StartOpen();
  std::vector<std::string> payloads;
  std::string expected;
  for (int i = 0; i < 1000; ++i) {
    payloads.push_back(std::string(static_cast<std::size_t>(i % 37), static_cast<char>('a' + i % 26)) +
                       std::to_string(i) + ";");
    expected += payloads.back();
  }
  std::vector<std::uint8_t> received;
  std::thread reader([&] { received = pty.ReadExactly(expected.size()); });
  for (const auto& payload : payloads) Send(text::FromUtf8(payload));
  reader.join();
  EXPECT_EQ(received, Bytes(expected));
  EXPECT_TRUE(PumpUntilText(IDC_TX_COUNT, u"TX:" + text::Decimal(expected.size())));
}

TEST_F(SendThreadTest, AWriteToAHungUpLineClosesThePortAndSaysSendFailOnce) {
  testsupport::PtyPair other;
  StartOpen();
  Send(u"ok");
  ASSERT_TRUE(PumpUntilText(IDC_TX_COUNT, u"TX:2"));
  AddDevice(other.PortName(), u"Adapter (ttyS7)");
  ASSERT_EQ(ComboItems(IDC_PORT), std::vector<std::u16string>{});

  pty.CloseMaster();
  for (int i = 0; i < 3; ++i) Send(u"lost");
  ASSERT_TRUE(toolkit.PumpUntil([&] { return !toolkit.messageBoxes.empty(); }));
  toolkit.PumpUntil([] { return false; }, 300ms);  // the failures queued behind the first one
  EXPECT_EQ(MessageTexts(), std::vector<std::u16string>{u"Send Fail"});
  EXPECT_FALSE(PortOpen());
  EXPECT_EQ(ComboItems(IDC_PORT), std::vector<std::u16string>{u"ttyS7"});
  EXPECT_EQ(Text(IDC_TX_COUNT), u"TX:2");
}

TEST_F(SendThreadTest, AWriteCutShortByAHangUpCountsWhatWentOutAndSaysSendFailOnce) {
  StartOpen();
  Send(std::u16string(1 << 20, u'x'));
  ASSERT_EQ(pty.ReadExactly(10000).size(), 10000u);
  pty.CloseMaster();
  ASSERT_TRUE(toolkit.PumpUntil([&] { return !toolkit.messageBoxes.empty(); }));
  toolkit.PumpUntil([] { return false; }, 300ms);
  EXPECT_EQ(MessageTexts(), std::vector<std::u16string>{u"Send Fail"});
  EXPECT_FALSE(PortOpen());
  const std::u16string tx = Text(IDC_TX_COUNT);
  ASSERT_TRUE(tx.starts_with(u"TX:"));
  EXPECT_GE(text::ParseInt(tx.substr(3)), 10000) << "the bytes the far end read were written";
}

TEST_F(SendThreadTest, AfterCloseAndOpenTheNextSendReachesTheNewPort) {
  testsupport::PtyPair other;
  StartOpen();
  for (int round = 0; round < 20; ++round) {
    testsupport::PtyPair& port = round % 2 ? other : pty;
    if (round > 0) {
      W().Click(IDC_OPEN);
      OpenOn(port);
    }
    const std::string payload = "round" + std::to_string(round);
    Send(text::FromUtf8(payload));
    ASSERT_EQ(port.ReadExactly(payload.size()), Bytes(payload)) << round;
  }
}

TEST_F(SendThreadTest, RequestsQueuedAtCloseNeverReachAPortOpenedAfterwards) {
  testsupport::PtyPair other;
  StartOpen();
  // Nobody reads the far end, so this write blocks once the line's buffer is full and the
  // requests behind it stay queued.
  Send(std::u16string(1 << 20, u'Q'));
  for (int i = 0; i < 100; ++i) Send(u"queued");
  W().Click(IDC_OPEN);
  ASSERT_FALSE(PortOpen());
  // The window delivers the cut-short write's report before any later click.
  toolkit.ProcessPosted();

  OpenOn(other);
  Send(u"new");
  EXPECT_EQ(other.ReadExactly(3), Bytes("new"));
  EXPECT_EQ(other.ReadUntilQuiet(300ms), Bytes(""));
  EXPECT_TRUE(toolkit.messageBoxes.empty());
}
