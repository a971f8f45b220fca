#include <gtest/gtest.h>

#include "res/resource.h"
#include "support/hub_fixture.h"
#include "support/pty_pair.h"

namespace {

// The window as `tarvolm [--open] PORT` starts it.
class CommandLineStartTest : public HubTest {
 protected:
  void StartWith(std::u16string port, bool open) {
    platform::SetACPForTesting(1252);
    dlg = std::make_unique<MainWindow>();
    dlg->StartWith(std::move(port), open);
    ASSERT_TRUE(dlg->Create());
  }
};

constexpr char kStored[] =
    "[Setting]\nCOMPORT=ttyACM3\nBaudRate=57600\nParity=NONE\nDataBits=8\nStopBits=2\n"
    "Interval=1000\nPath=/somewhere/\nFilter=\n_bCheck=0\n";

TEST_F(CommandLineStartTest, TheGivenPortReplacesTheStoredOneListedOrNotAndStaysClosed) {
  AddDevice(u"/dev/ttyUSB0", u"ttyUSB0");
  for (const char16_t* port : {u"/dev/serial/by-id/usb-FTDI-if00", u"ttyUSB0"}) {
    WriteSettings(kStored);
    StartWith(port, false);
    toolkit.ProcessPosted();
    EXPECT_EQ(Text(IDC_PORT), port);
    EXPECT_EQ(Text(IDC_BAUD), u"57600");
    EXPECT_FALSE(PortOpen());
    EXPECT_TRUE(toolkit.messageBoxes.empty());
    EXPECT_EQ(ReadSettingsFile(), kStored) << "nothing is kept before the port opens";
    dlg.reset();
  }
}

TEST_F(CommandLineStartTest, OpenOpensTheGivenPortWithTheStoredLineOnceTheWindowShows) {
  testsupport::PtyPair pty;
  WriteSettings(kStored);
  StartWith(pty.PortName(), true);
  EXPECT_FALSE(PortOpen()) << "opened before the window showed";
  toolkit.ProcessPosted();
  ASSERT_TRUE(toolkit.messageBoxes.empty()) << text::ToUtf8(MessageTexts().front());
  EXPECT_TRUE(PortOpen());
  EXPECT_EQ(Text(IDC_OPEN), u"Close");
  EXPECT_EQ(Setting(u"COMPORT"), pty.PortName());
  EXPECT_EQ(Setting(u"BaudRate"), u"57600");
  EXPECT_EQ(Setting(u"StopBits"), u"2");
  // What arrives is shown: the port is read as after a click on Open.
  ASSERT_TRUE(pty.WriteAll("hello", 5));
  EXPECT_TRUE(toolkit.PumpUntil([&] { return Text(IDC_RX_EDIT) == u"hello"; }));
}

TEST_F(CommandLineStartTest, APortThatCannotBeOpenedAtStartIsReportedAsOnAClick) {
  StartWith(u"ttyNoSuchPort7", true);
  toolkit.ProcessPosted();
  EXPECT_EQ(MessageTexts(), std::vector<std::u16string>{u"Open ttyNoSuchPort7 error"});
  EXPECT_FALSE(PortOpen());
  EXPECT_EQ(Text(IDC_PORT), u"ttyNoSuchPort7");
}

}  // namespace
