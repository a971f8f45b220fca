// Ports that come and go: the list follows the system's ports, and with Reconnect a device
// that went away is waited for and opened again when it is back. The device is a real pty
// behind a symbolic link of the user's own, as a /dev/serial/by-id link would be: closing
// the far end takes the device away, a new pty behind the same link brings it back.

#include <unistd.h>

#include <filesystem>

#include "hub/send_fixture.h"

namespace {

using namespace std::chrono_literals;

class ReconnectTest : public SendTest {
 protected:
  // Points the link at `port` in one step, as udev replaces its links.
  void PointLinkAt(const testsupport::PtyPair& port) {
    const auto fresh = folder.Path() / "board.new";
    std::filesystem::remove(fresh);
    std::filesystem::create_symlink(port.SlavePath(), fresh);
    std::filesystem::rename(fresh, link);
  }
  void OpenLink(bool reconnect) { OpenLinkTo(pty, reconnect); }
  void OpenLinkTo(const testsupport::PtyPair& device, bool reconnect) {
    PointLinkAt(device);
    Start();
    if ((W().GetCheck(IDC_RECONNECT) == BST_CHECKED) != reconnect) W().Click(IDC_RECONNECT);
    W().Replace(IDC_PORT, text::FromUtf8(link.string()));
    W().Click(IDC_OPEN);
    ASSERT_TRUE(PortOpen());
  }
  bool BoxShows(std::u16string_view text) {
    return toolkit.PumpUntil([&] { return Text(IDC_RX_EDIT) == text; });
  }
  std::u16string LinkText() const { return text::FromUtf8(link.string()); }

  std::filesystem::path link = folder.Path() / "board";
};

TEST_F(ReconnectTest, TheSameDeviceBackBehindItsLinkIsOpenedAgainAndReceivingGoesOn) {
  ASSERT_NO_FATAL_FAILURE(OpenLink(true));
  ASSERT_TRUE(pty.WriteAll(std::vector<std::uint8_t>{'o', 'l', 'd', '\r', '\n'}));
  ASSERT_TRUE(BoxShows(u"old\r\n"));

  pty.CloseMaster();
  ASSERT_TRUE(toolkit.PumpUntil([&] { return Text(IDC_PORT_STATUS) == u"Waiting for " + LinkText(); }));
  EXPECT_FALSE(PortOpen());
  EXPECT_EQ(Text(IDC_OPEN), u"Close") << "the port is still the user's";
  EXPECT_FALSE(W().IsEnabled(IDC_BAUD));
  // A send meanwhile is refused aloud, once per disappearance.
  Send(u"lost?");
  Send(u"lost?");
  EXPECT_EQ(MessageTexts(), std::vector<std::u16string>{u"Not sent: waiting for " + LinkText() + u" to come back."});

  testsupport::PtyPair back;
  PointLinkAt(back);
  ASSERT_TRUE(toolkit.PumpUntil([&] { return PortOpen(); }, 3s)) << "not opened again";
  EXPECT_EQ(Text(IDC_PORT_STATUS), u"");
  ASSERT_TRUE(back.WriteAll(std::vector<std::uint8_t>{'n', 'e', 'w'}));
  EXPECT_TRUE(BoxShows(u"old\r\nnew"));
  Send(u"hi");
  EXPECT_EQ(back.ReadExactly(2), Bytes("hi"));
  EXPECT_EQ(MessageTexts().size(), 1u) << "no Send Fail, no other message";
}

TEST_F(ReconnectTest, CloseEndsTheWaitAndWithoutReconnectAGoneDeviceIsOnlyShown) {
  ASSERT_NO_FATAL_FAILURE(OpenLink(true));
  pty.CloseMaster();
  ASSERT_TRUE(toolkit.PumpUntil([&] { return !PortOpen(); }));
  W().Click(IDC_OPEN);
  EXPECT_EQ(Text(IDC_OPEN), u"Open");
  EXPECT_EQ(Text(IDC_PORT_STATUS), u"");
  EXPECT_TRUE(W().IsEnabled(IDC_BAUD));
  testsupport::PtyPair back;
  PointLinkAt(back);
  toolkit.PumpUntil([] { return false; }, 300ms);
  EXPECT_FALSE(PortOpen()) << "opened after Close";
  EXPECT_TRUE(toolkit.messageBoxes.empty());

  dlg.reset();
  testsupport::PtyPair other;
  ASSERT_NO_FATAL_FAILURE(OpenLinkTo(other, false));
  other.CloseMaster();
  EXPECT_TRUE(toolkit.PumpUntil([&] { return Text(IDC_PORT_STATUS) == LinkText() + u" is gone"; }));
  EXPECT_TRUE(PortOpen()) << "without Reconnect the port stays as it always did";
  EXPECT_EQ(Text(IDC_OPEN), u"Close");
  EXPECT_TRUE(toolkit.messageBoxes.empty());
}

TEST_F(ReconnectTest, ReconnectIsSavedWhenClickedAndOffByDefault) {
  Start();
  EXPECT_EQ(W().GetCheck(IDC_RECONNECT), BST_UNCHECKED);
  EXPECT_EQ(Setting(u"Reconnect"), u"<missing>");
  W().Click(IDC_RECONNECT);
  EXPECT_EQ(Setting(u"Reconnect"), u"1");
  dlg.reset();
  Start(936);
  EXPECT_EQ(W().GetCheck(IDC_RECONNECT), BST_CHECKED);
  EXPECT_EQ(Text(IDC_RECONNECT), u"自动重连");
}

TEST_F(ReconnectTest, TheListFollowsThePortsAndThePortBoxKeepsWhatWasTyped) {
  AddDevice(u"/dev/ttyUSB0", u"USB Serial (ttyUSB0)");
  Start();
  W().Replace(IDC_PORT, u"ttyACM7");
  AddDevice(u"/dev/ttyUSB1", u"USB Serial (ttyUSB1)");
  dlg->GetConnection().PortsChanged();  // what the port watcher's report runs
  EXPECT_EQ(ComboItems(IDC_PORT).size(), 2u);
  EXPECT_EQ(Text(IDC_PORT), u"ttyACM7");
  devices.clear();
  dlg->GetConnection().PortsChanged();
  EXPECT_TRUE(ComboItems(IDC_PORT).empty());
  EXPECT_EQ(Text(IDC_PORT), u"ttyACM7");
  EXPECT_TRUE(toolkit.messageBoxes.empty());
}

}  // namespace
