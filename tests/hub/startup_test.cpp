#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "platform/port_names.h"
#include "res/resource.h"
#include "res/string_table.h"
#include "support/hub_fixture.h"

using StartupTest = HubTest;

TEST_F(StartupTest, FirstStartWritesEveryKeyInOrderAndShowsDefaults) {
  ASSERT_FALSE(std::filesystem::exists(SettingsFile()));
  Start();

  EXPECT_EQ(Text(IDC_BAUD), u"9600");
  EXPECT_EQ(Text(IDC_PARITY), u"NONE");
  EXPECT_EQ(Text(IDC_DATABITS), u"8");
  EXPECT_EQ(Text(IDC_STOPBITS), u"1");
  EXPECT_EQ(Text(IDC_TX_INTERVAL), u"1000");
  EXPECT_EQ(dlg->Folder(), g_strAppDir);
  EXPECT_TRUE(dlg->GetReceiver().FilterText().empty());
  EXPECT_FALSE(dlg->GetReceiver().KeepOnly());

  const std::string file = ReadSettingsFile();
  const char* keys[] = {"COMPORT=", "BaudRate=", "Parity=", "DataBits=", "StopBits=",
                        "Interval=", "Path=", "Filter=", "_bCheck="};
  std::size_t at = file.find("[Setting]");
  ASSERT_NE(at, std::string::npos);
  for (const char* key : keys) {
    const auto found = file.find(key, at);
    ASSERT_NE(found, std::string::npos) << key << " missing or out of order in\n" << file;
    at = found;
  }
  EXPECT_EQ(Setting(u"COMPORT"), platform::DefaultPortName());
  EXPECT_EQ(Setting(u"Path"), g_strAppDir);
  EXPECT_EQ(Setting(u"_bCheck"), u"0");
}

TEST_F(StartupTest, StoredValuesAreShownAsStoredEvenWhenNotInTheList) {
  WriteSettings("[Setting]\nCOMPORT=ttyACM3\nBaudRate=12345\nParity=space\nDataBits=4\nStopBits=1.5\n"
                "Interval=250\nPath=/somewhere/\nFilter=OK,ERR\n_bCheck=0\n");
  const std::string stored = ReadSettingsFile();
  Start();
  EXPECT_EQ(Text(IDC_BAUD), u"12345");
  EXPECT_EQ(Text(IDC_PARITY), u"space");
  EXPECT_EQ(Text(IDC_DATABITS), u"4");
  EXPECT_EQ(Text(IDC_STOPBITS), u"1.5");
  EXPECT_EQ(Text(IDC_TX_INTERVAL), u"250");
  EXPECT_EQ(dlg->Folder(), u"/somewhere/");
  EXPECT_EQ(dlg->GetReceiver().FilterText(), u"OK,ERR");
  // Loading writes nothing when every value was there.
  EXPECT_EQ(ReadSettingsFile(), stored);
}

TEST_F(StartupTest, FilterTextWithALineBreakComesBackAfterARestart) {
  Start();
  toolkit.ScriptModal(IDD_FILTER, [](HeadlessWindow& w) {
    w.Focus(IDC_FILTER_TEXT);
    w.Replace(IDC_FILTER_TEXT, u"OK");
    w.PressKey(VK_RETURN, /*ctrl=*/true);  // a line break, not OK
    w.Type(IDC_FILTER_TEXT, u"ERR,\\n");
    w.Click(IDOK);
  });
  W().Click(IDC_FILTER_SET);
  ASSERT_EQ(dlg->GetReceiver().FilterText(), u"OK\r\nERR,\\n");
  dlg.reset();

  Start();
  W().Click(IDC_RX_FILTER);  // reads the file again
  EXPECT_TRUE(dlg->GetReceiver().FilterOn());
  EXPECT_EQ(dlg->GetReceiver().FilterText(), u"OK\r\nERR,\\n");
}

TEST_F(StartupTest, OnlyTheSingleCharacterZeroClearsTheOnlyReserveFlag) {
  const std::pair<const char*, bool> cases[] = {{"0", false}, {"", true}, {"00", true}, {"1", true}, {"no", true}};
  for (const auto& [value, expected] : cases) {
    WriteSettings(std::string("[Setting]\nPath=/p/\n_bCheck=") + value + "\n");
    Start();
    EXPECT_EQ(dlg->GetReceiver().KeepOnly(), expected) << "_bCheck=" << value;
    dlg.reset();
  }
}

TEST_F(StartupTest, EmptyPathIsReplacedByTheProgramFolderAndTheFileRewritten) {
  WriteSettings("[Other]\nkeep=me\n[Setting]\nPath=\nBaudRate=4800\n");
  Start();
  EXPECT_EQ(dlg->Folder(), g_strAppDir);
  EXPECT_EQ(Setting(u"Path"), g_strAppDir);
  EXPECT_EQ(Setting(u"BaudRate"), u"4800");
  EXPECT_EQ(Setting(u"Interval"), u"1000");
  EXPECT_NE(ReadSettingsFile().find("keep=me"), std::string::npos);
}

TEST_F(StartupTest, ControlsStartInTheirInitialStates) {
  Start();
  EXPECT_EQ(W().GetCheck(IDC_RX_AUTOCLEAR), BST_CHECKED);
  EXPECT_EQ(W().GetCheck(IDC_TX_IGNORESPACE), BST_CHECKED);
  EXPECT_EQ(W().GetCheck(IDC_RX_ADDSPACE), BST_CHECKED);
  EXPECT_FALSE(W().IsEnabled(IDC_TX_IGNORESPACE));
  EXPECT_FALSE(W().IsEnabled(IDC_RX_ADDSPACE));
  EXPECT_FALSE(W().IsEnabled(IDC_RX_PAUSE));
  EXPECT_FALSE(W().IsVisible(IDC_TX_CLEAR));
  for (int id : {IDC_RX_HEX, IDC_TX_HEX, IDC_TX_AUTOSEND, IDC_RX_FILTER}) EXPECT_EQ(W().GetCheck(id), BST_UNCHECKED);
  EXPECT_EQ(Text(IDC_RX_COUNT), u"RX:0");
  EXPECT_EQ(Text(IDC_TX_COUNT), u"TX:0");
  EXPECT_EQ(W().Item(IDC_TX_INTERVAL_SPIN).spinLower, 0);
  EXPECT_EQ(W().Item(IDC_TX_INTERVAL_SPIN).spinUpper, 32767);
  EXPECT_EQ(ComboItems(IDC_PARITY), (std::vector<std::u16string>{u"NONE", u"ODD", u"EVEN", u"MARK", u"SPACE"}));
  EXPECT_EQ(ComboItems(IDC_BAUD).size(), 13u);
}

TEST_F(StartupTest, CaptionsAndTitleFollowTheLanguage) {
  struct Case {
    unsigned codePage;
    const char16_t* open;
    const char16_t* receive;
    const char16_t* hex;
  };
  const Case cases[] = {{1252, u"Open", u"Receive", u"Hex"},
                        {936, u"打开", u"接收", u"十六进制"},
                        {950, u"打開", u"接收", u"十六進制"},
                        {932, u"Open", u"Receive", u"Hex"}};
  for (const auto& c : cases) {
    Start(c.codePage);
    EXPECT_EQ(Text(IDC_OPEN), c.open) << c.codePage;
    EXPECT_EQ(Text(IDC_GRP_RX), c.receive);
    EXPECT_EQ(Text(IDC_RX_HEX), c.hex);
    EXPECT_EQ(Text(IDC_TX_HEX), c.hex);
    EXPECT_EQ(Text(0), kProgramTitle);
    EXPECT_EQ(Text(IDC_RX_COUNT), u"RX:0");
    EXPECT_EQ(Text(IDC_LBL_PORT), c.codePage == 936 || c.codePage == 950 ? u"串口" : u"COM");
    dlg.reset();
  }
}

TEST_F(StartupTest, ClosingWithThePortClosedEndsTheDialogWithoutPortAction) {
  Start();
  W().CloseBox();
  EXPECT_TRUE(W().Ended());
  EXPECT_TRUE(toolkit.messageBoxes.empty());
}

TEST_F(StartupTest, ASettingsFileThatCannotBeReadIsReportedOnceAndNeverOverwritten) {
  struct Case {
    const char* what;
    std::function<void()> make;
    std::u16string reason;
  };
  const std::string huge = "[Setting]\r\nCOMPORT=ttyS3\r\n" + std::string(2u << 20, ';') + "\r\n";
  const Case cases[] = {
      {"a folder", [&] { std::filesystem::create_directory(SettingsFile()); }, u"It is not a file."},
      {"too large", [&] { WriteSettings(huge); }, u"It is too large to be a settings file."},
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(SettingsFile());
    c.make();
    Start();
    W().Click(IDC_RX_FILTER);  // reads the file again: no second message
    W().Replace(IDC_TX_INTERVAL, u"250");
    W().Click(IDC_TX_AUTOSEND);  // would write the interval
    EXPECT_EQ(MessageTexts(), std::vector<std::u16string>{u"The settings file " + SettingsFile().u16string() +
                                                          u" cannot be read: Tarvolm starts with its defaults and will "
                                                          u"not change the file.\n" +
                                                          c.reason})
        << c.what;
    EXPECT_EQ(Text(IDC_BAUD), u"9600") << c.what;
    if (std::filesystem::is_regular_file(SettingsFile())) EXPECT_EQ(ReadSettingsFile(), huge) << c.what;
    dlg.reset();
    toolkit.messageBoxes.clear();
  }
}
