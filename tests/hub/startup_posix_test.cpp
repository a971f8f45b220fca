#include <gtest/gtest.h>
#include <sys/fsuid.h>
#include <sys/stat.h>

#include <fstream>
#include <string>

#include "res/resource.h"
#include "support/hub_fixture.h"

using StartupMemoryTest = HubTest;  // facts of the POSIX build: /proc, the INI files in UTF-8

TEST_F(StartupMemoryTest, TheWindowStartsWithoutSettingMemoryAsideForTheReceiveText) {
  const auto addressSpace = [] {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
      if (line.rfind("VmSize:", 0) == 0) return std::stol(line.substr(7));
    }
    return 0L;
  };
  const long before = addressSpace();
  Start();
  // The text grows with what arrives; 64 MB would be far beyond any window's needs.
  EXPECT_LT(addressSpace() - before, 64L * 1024);
}

TEST_F(StartupMemoryTest, ASettingsFileNotInUtf8IsReportedAndLeftAsItIs) {
  const std::string latin1 = "[Setting]\nCOMPORT=ttyS1\nFilter=caf\xE9\n";
  WriteSettings(latin1);
  Start();
  ASSERT_EQ(MessageTexts().size(), 1u);
  EXPECT_TRUE(MessageTexts()[0].ends_with(u"It is not text in the encoding expected.")) << text::ToUtf8(MessageTexts()[0]);
  EXPECT_EQ(ReadSettingsFile(), latin1);
}

TEST_F(StartupMemoryTest, MalformedSettingsFileGivesDefaultsWithoutCrashingAndIsLeftAsItIs) {
  std::string junk(4096, '\0');
  for (std::size_t i = 0; i < junk.size(); ++i) junk[i] = static_cast<char>((i * 131) % 256);
  const std::string file = "\xEF\xBB\xBF" + junk + "\r\n[Setting]\r\nBaudRate=19200\r\n" + std::string(100000, 'x');
  WriteSettings(file);
  Start();
  EXPECT_EQ(Text(IDC_BAUD), u"9600");
  EXPECT_EQ(Text(IDC_PARITY), u"NONE");
  EXPECT_EQ(MessageTexts().size(), 1u);
  EXPECT_EQ(ReadSettingsFile(), file);
}

// Written by `sudo tarvolm` and not the user's to read. Root reads any file, so the window
// starts with this thread's file-system identity dropped to nobody's, as for that user.
TEST_F(StartupMemoryTest, ASettingsFileTheUserMayNotReadIsReportedOnceAndNeverOverwritten) {
  const std::string stored = "[Setting]\nBaudRate=19200\n";
  WriteSettings(stored);
  ASSERT_EQ(::chmod(SettingsFile().c_str(), 0), 0);
  ASSERT_EQ(::chmod(folder.Path().c_str(), 0755), 0);
  const bool root = ::geteuid() == 0;
  if (root) ::setfsuid(65534);
  Start();
  W().Replace(IDC_TX_INTERVAL, u"250");
  W().Click(IDC_TX_AUTOSEND);  // would write the interval
  W().Click(IDC_TX_AUTOSEND);
  dlg.reset();  // would write every key
  if (root) ::setfsuid(0);
  EXPECT_EQ(MessageTexts(), std::vector<std::u16string>{u"The settings file " + SettingsFile().u16string() +
                                                        u" cannot be read: Tarvolm starts with its defaults and will "
                                                        u"not change the file.\nIt cannot be opened."});
  ::chmod(SettingsFile().c_str(), 0600);
  EXPECT_EQ(ReadSettingsFile(), stored);
}
