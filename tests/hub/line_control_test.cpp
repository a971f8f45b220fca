// Flow control, DTR and RTS, the input-line indicators and Break as the window offers them,
// on real pseudo-terminals. A pty has no modem lines; the window's side of them on a port
// that has lines is tested with the device tests' stand-in.

#include <chrono>
#include <thread>

#include "hub/send_fixture.h"
#include "support/xoff_hold.h"

namespace {

using namespace std::chrono_literals;

constexpr int kIndicators[] = {IDC_CTS, IDC_DSR, IDC_DCD, IDC_RI};

const std::string kOldFile =
    "[Setting]\r\nCOMPORT=ttyS0\r\nBaudRate=9600\r\nParity=NONE\r\nDataBits=8\r\nStopBits=1\r\n"
    "Interval=1000\r\nPath=/tmp\r\nFilter=\r\n_bCheck=0\r\n";

class LineControlTest : public SendTest {
 protected:
  void PickFlow(int index) { W().PickComboItem(IDC_FLOW, index); }
  bool Checked(int id) { return W().GetCheck(id) == BST_CHECKED; }
};

TEST_F(LineControlTest, OldFilesLoadAsTheyAreAndTheNewKeysFollowTheOthersWhenChangedOrOnOpen) {
  WriteSettings(kOldFile);
  Start();
  EXPECT_EQ(ComboItems(IDC_FLOW), (std::vector<std::u16string>{u"None", u"RTS/CTS", u"XON/XOFF"}));
  EXPECT_EQ(Text(IDC_FLOW), u"None");
  EXPECT_TRUE(Checked(IDC_DTR));
  EXPECT_TRUE(Checked(IDC_RTS));
  EXPECT_EQ(ReadSettingsFile(), kOldFile) << "loading rewrote the file";

  PickFlow(2);
  EXPECT_EQ(ReadSettingsFile(), kOldFile) << "the flow control is saved on open, with the line";
  W().Click(IDC_DTR);
  EXPECT_FALSE(Checked(IDC_DTR));
  EXPECT_EQ(ReadSettingsFile(), kOldFile + "DTR=0\r\n");

  OpenOn(pty);
  const std::string saved = ReadSettingsFile();
  const std::string tail = "DTR=0\r\nFlowControl=XON/XOFF\r\nRTS=1\r\n";
  ASSERT_GE(saved.size(), tail.size());
  EXPECT_EQ(saved.substr(saved.size() - tail.size()), tail) << saved;
  EXPECT_EQ(saved.find("COMPORT="), kOldFile.find("COMPORT=")) << "the old keys moved";

  dlg.reset();
  Start();
  EXPECT_EQ(Text(IDC_FLOW), u"XON/XOFF");
  EXPECT_FALSE(Checked(IDC_DTR));
  EXPECT_TRUE(Checked(IDC_RTS));
}

TEST_F(LineControlTest, AFlowControlTheFileShouldNotHoldGivesNoneAndEachLanguageNamesNone) {
  WriteSettings(kOldFile + "FlowControl=bogus\r\nDTR=x\r\n");
  Start(936);
  EXPECT_EQ(ComboItems(IDC_FLOW), (std::vector<std::u16string>{u"无", u"RTS/CTS", u"XON/XOFF"}));
  EXPECT_EQ(Text(IDC_FLOW), u"无");
  EXPECT_TRUE(Checked(IDC_DTR)) << "only 0 unchecks";
  EXPECT_EQ(Text(IDC_LBL_FLOW), u"流控");
  dlg.reset();
  Start(950);
  EXPECT_EQ(Text(IDC_FLOW), u"無");
  EXPECT_EQ(Text(IDC_BREAK), u"中斷");
}

TEST_F(LineControlTest, RtsCtsHandsRtsToTheDriverAndTheFlowIsLockedWhileOpen) {
  Start();
  PickFlow(1);
  EXPECT_FALSE(W().IsEnabled(IDC_RTS));
  EXPECT_TRUE(Checked(IDC_RTS)) << "the box keeps what it will ask for later";
  PickFlow(2);
  EXPECT_TRUE(W().IsEnabled(IDC_RTS));
  PickFlow(0);

  EXPECT_FALSE(W().IsEnabled(IDC_BREAK));
  OpenOn(pty);
  EXPECT_FALSE(W().IsEnabled(IDC_FLOW));
  EXPECT_TRUE(W().IsEnabled(IDC_DTR));
  EXPECT_TRUE(W().IsEnabled(IDC_RTS));
  EXPECT_TRUE(W().IsEnabled(IDC_BREAK));
  W().Click(IDC_OPEN);
  EXPECT_TRUE(W().IsEnabled(IDC_FLOW));
  EXPECT_FALSE(W().IsEnabled(IDC_BREAK));
}

TEST_F(LineControlTest, APtyWithoutModemLinesGreysTheIndicatorsAndNeverSaysSo) {
  StartOpen();
  // Long enough for the line watch to have looked many times.
  toolkit.PumpUntil([] { return false; }, 150ms);
  for (const int id : kIndicators) {
    EXPECT_FALSE(W().IsEnabled(id)) << id;
    EXPECT_FALSE(Checked(id)) << id;
  }
  W().Click(IDC_DTR);
  W().Click(IDC_RTS);
  W().Click(IDC_RTS);
  W().Click(IDC_BREAK);
  Send(u"after");
  EXPECT_EQ(pty.ReadExactly(5), Bytes("after")) << "a break on a pty is taken without a trace";
  toolkit.PumpUntil([] { return false; }, 100ms);
  EXPECT_TRUE(toolkit.messageBoxes.empty()) << text::ToUtf8(MessageTexts().front());
  EXPECT_FALSE(Checked(IDC_DTR));
  EXPECT_TRUE(Checked(IDC_RTS));
  EXPECT_TRUE(PortOpen());
}

TEST_F(LineControlTest, XoffHoldsASendWithTheWindowLiveAndXonReleasesItByteExact) {
  Start();
  PickFlow(2);
  OpenOn(pty);
  auto port = platform::CommPort::Open(pty.PortName());  // refused: held exclusively
  EXPECT_EQ(port, nullptr);
  // The device says XOFF; what the window sends now waits in the driver or the send thread.
  const std::uint8_t xoff = 0x13;
  ASSERT_TRUE(pty.WriteAll(&xoff, 1));
  toolkit.PumpUntil([] { return false; }, 50ms);
  std::string sent;
  for (char c = 'a'; c <= 'z'; ++c) sent += std::string(200, c);
  Send(text::FromUtf8(sent));
  EXPECT_TRUE(pty.ReadUntilQuiet(200ms).empty()) << "XOFF did not hold the send";
  // The window answers meanwhile.
  W().Click(IDC_RX_PAUSE);
  W().Click(IDC_RX_PAUSE);
  EXPECT_TRUE(toolkit.messageBoxes.empty());

  testsupport::ReleaseWithXon(pty);
  std::vector<std::uint8_t> all;
  toolkit.PumpUntil([&] {
    const auto more = pty.ReadUntilQuiet(20ms);
    all.insert(all.end(), more.begin(), more.end());
    return all.size() >= sent.size();
  });
  // What went out before the hold was read above; the rest follows in order.
  const std::string tail(all.begin(), all.end());
  EXPECT_TRUE(sent.ends_with(tail)) << tail.size();
  EXPECT_TRUE(PumpUntilText(IDC_TX_COUNT, u"TX:" + text::Decimal(static_cast<int>(sent.size()))));
  EXPECT_TRUE(toolkit.messageBoxes.empty());
}

TEST_F(LineControlTest, CloseEndsASendHeldByXoffAtOnce) {
  Start();
  PickFlow(2);
  OpenOn(pty);
  const std::uint8_t xoff = 0x13;
  ASSERT_TRUE(pty.WriteAll(&xoff, 1));
  toolkit.PumpUntil([] { return false; }, 50ms);
  Send(text::FromUtf8(std::string(64 * 1024, 'x')));
  toolkit.PumpUntil([] { return false; }, 50ms);
  const auto before = std::chrono::steady_clock::now();
  W().Click(IDC_OPEN);
  EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
  EXPECT_FALSE(PortOpen());
  EXPECT_EQ(Text(IDC_OPEN), u"Open");
  toolkit.PumpUntil([] { return false; }, 50ms);
  EXPECT_TRUE(toolkit.messageBoxes.empty()) << "a held send ended by Close is no failure";
}

}  // namespace
