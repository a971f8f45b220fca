#include <gtest/gtest.h>

#include "res/resource.h"
#include "support/hub_fixture.h"
#include "support/pty_pair.h"

using ConnectionTest = HubTest;

TEST_F(ConnectionTest, PortTextMustNameASerialPort) {
  Start();
  for (const char16_t* text : {u"com3", u"cat", u"COM3", u""}) {
    toolkit.messageBoxes.clear();
    W().Replace(IDC_PORT, text);
    W().Click(IDC_OPEN);
    EXPECT_EQ(MessageTexts(), std::vector<std::u16string>{u"Not Com"}) << text::ToUtf8(text);
    EXPECT_EQ(Text(IDC_OPEN), u"Open");
  }
}

TEST_F(ConnectionTest, FailedOpenSaysSoOnceAndSavesNothing) {
  Start();
  const std::string before = ReadSettingsFile();
  W().Replace(IDC_PORT, u"ttyNoSuchPort7");
  W().Replace(IDC_BAUD, u"115200");
  W().Click(IDC_OPEN);
  EXPECT_EQ(MessageTexts(), std::vector<std::u16string>{u"Open ttyNoSuchPort7 error"});
  EXPECT_EQ(Text(IDC_OPEN), u"Open");
  EXPECT_TRUE(W().IsEnabled(IDC_PORT));
  EXPECT_EQ(ReadSettingsFile(), before);
}

TEST_F(ConnectionTest, OpenLocksTheSettingsSavesThemAndCloseUnlocksInEveryLanguage) {
  struct Case {
    unsigned codePage;
    const char16_t* open;
    const char16_t* close;
  };
  for (const Case c : {Case{1252, u"Open", u"Close"}, Case{936, u"打开", u"关闭"}, Case{950, u"打開", u"關閉"}}) {
    testsupport::PtyPair pty;
    Start(c.codePage);
    W().Replace(IDC_PORT, pty.PortName());
    W().Replace(IDC_BAUD, u"57600");
    W().Replace(IDC_STOPBITS, u"2");  // a pty holds 8 data bits and no parity, nothing else
    W().Click(IDC_OPEN);
    ASSERT_TRUE(toolkit.messageBoxes.empty()) << text::ToUtf8(MessageTexts().front());
    EXPECT_EQ(Text(IDC_OPEN), c.close);
    for (int id : {IDC_PORT, IDC_BAUD, IDC_PARITY, IDC_DATABITS, IDC_STOPBITS, IDC_REFRESH}) {
      EXPECT_FALSE(W().IsEnabled(id)) << id;
    }
    EXPECT_TRUE(W().IsEnabled(IDC_RX_PAUSE));
    EXPECT_EQ(Setting(u"COMPORT"), pty.PortName());
    EXPECT_EQ(Setting(u"BaudRate"), u"57600");
    EXPECT_EQ(Setting(u"StopBits"), u"2");
    EXPECT_TRUE(PortOpen());

    W().Click(IDC_OPEN);
    EXPECT_EQ(Text(IDC_OPEN), c.open);
    for (int id : {IDC_PORT, IDC_BAUD, IDC_PARITY, IDC_DATABITS, IDC_STOPBITS, IDC_REFRESH}) {
      EXPECT_TRUE(W().IsEnabled(id)) << id;
    }
    EXPECT_FALSE(W().IsEnabled(IDC_RX_PAUSE));
    dlg.reset();
  }
}

TEST_F(ConnectionTest, RefusedSettingsCloseThePortNameTheSettingAndSaveNothing) {
  struct Case {
    const char16_t* baud;
    const char16_t* parity;
    const char16_t* dataBits;
    const char16_t* stopBits;
    const char16_t* message;
  };
  const Case cases[] = {
      {u"0", u"NONE", u"8", u"1", u"Setting Baud 0 not supported"},
      {u"9600", u"NONE", u"4", u"1", u"Setting Datab 4 not supported"},
      {u"9600", u"NONE", u"8", u"1.5", u"Setting Sbit 1.5 not supported"},
      {u"9600", u"", u"8", u"1", u"Setting Check  not supported"},
      {u"9600", u"NONE", u"", u"", u"Setting Datab  not supported"},
  };
  testsupport::PtyPair pty;
  Start();
  const std::string before = ReadSettingsFile();
  for (const auto& c : cases) {
    toolkit.messageBoxes.clear();
    W().Replace(IDC_PORT, pty.PortName());
    W().Replace(IDC_BAUD, c.baud);
    W().Replace(IDC_PARITY, c.parity);
    W().Replace(IDC_DATABITS, c.dataBits);
    W().Replace(IDC_STOPBITS, c.stopBits);
    W().Click(IDC_OPEN);
    EXPECT_EQ(MessageTexts(), std::vector<std::u16string>{c.message});
    EXPECT_EQ(Text(IDC_OPEN), u"Open");
    EXPECT_EQ(ReadSettingsFile(), before);
  }
  // The port was closed again each time: it opens with good settings.
  toolkit.messageBoxes.clear();
  W().Replace(IDC_BAUD, u"9600");
  W().Replace(IDC_PARITY, u"NONE");
  W().Replace(IDC_DATABITS, u"8");
  W().Replace(IDC_STOPBITS, u"1");
  W().Click(IDC_OPEN);
  EXPECT_TRUE(toolkit.messageBoxes.empty());
  EXPECT_EQ(Text(IDC_OPEN), u"Close");
}

TEST_F(ConnectionTest, RefreshListsThePortsAndKeepsTheRememberedOne) {
  testsupport::PtyPair a, b, c;
  AddDevice(a.PortName(), u"Adapter (ttyS1)");
  AddDevice(b.PortName(), u"Adapter (ttyS10)");
  AddDevice(c.PortName(), u"Bridge (ttyS2 on hub)");
  AddDevice(u"/dev/nonexistent-port", u"Gone (ttyS3)");
  AddDevice(c.PortName(), u"Virtual (ttyV5-ttyV6)");
  AddDevice(c.PortName(), u"No port name here");
  // A product string with parentheses of its own: the last group names the port.
  AddDevice(c.PortName(), u"FT232R (rev 2) (ttyUSB0)");
  WriteSettings("[Setting]\nCOMPORT=ttyS1\nPath=/p/\n");
  Start();
  // The list does not open a port to see whether it could: a port that cannot be opened is listed.
  EXPECT_EQ(ComboItems(IDC_PORT),
            (std::vector<std::u16string>{u"ttyS1", u"ttyS10", u"ttyS2", u"ttyS3", u"ttyV5", u"ttyUSB0"}));
  // The search starts at the second entry, so ttyS10 wins over ttyS1.
  EXPECT_EQ(Text(IDC_PORT), u"ttyS10");

  W().Replace(IDC_PORT, u"ttyS9");
  W().Click(IDC_REFRESH);
  EXPECT_EQ(Text(IDC_PORT), u"ttyS1");  // no match: the first entry

  W().Replace(IDC_PORT, u"TTYs2");
  W().OpenDropDown(IDC_PORT);
  EXPECT_EQ(Text(IDC_PORT), u"ttyS2");
}

TEST_F(ConnectionTest, APortHeldOpenElsewhereIsListedAndItsOpenFailsAsBefore) {
  testsupport::PtyPair free, busy;
  AddDevice(free.PortName(), u"Free (ttyS1)");
  AddDevice(busy.PortName(), u"Busy (ttyS2)");
  const auto holder = platform::CommPort::Open(busy.PortName());
  ASSERT_TRUE(holder);
  Start();
  EXPECT_EQ(ComboItems(IDC_PORT), (std::vector<std::u16string>{u"ttyS1", u"ttyS2"}));
  W().Replace(IDC_PORT, busy.PortName());
  W().Click(IDC_OPEN);
  EXPECT_EQ(MessageTexts(), std::vector<std::u16string>{u"Open " + busy.PortName() + u" error"});
  EXPECT_EQ(Text(IDC_OPEN), u"Open");
}

TEST_F(ConnectionTest, AFailedPortListIsShownAndLeavesTheListEmpty) {
  SetPortDiscovery([]() -> std::vector<platform::SerialDeviceInfo> {
    throw PortEnumerationError{u"cannot read /sys/class/tty"};
  });
  Start();
  EXPECT_EQ(MessageTexts(), std::vector<std::u16string>{u"Port list error: cannot read /sys/class/tty"});
  EXPECT_EQ(ComboItems(IDC_PORT).size(), 0u);
}

TEST_F(ConnectionTest, ClosingTheWindowClosesAnOpenPort) {
  testsupport::PtyPair pty;
  Start(936);
  W().Replace(IDC_PORT, pty.PortName());
  W().Click(IDC_OPEN);
  ASSERT_TRUE(PortOpen());
  W().CloseBox();
  EXPECT_TRUE(W().Ended());
  EXPECT_FALSE(PortOpen());
  // Closed for real: another opener gets the device now.
  EXPECT_TRUE(platform::CommPort::Open(pty.PortName()));
}
