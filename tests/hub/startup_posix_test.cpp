#include <gtest/gtest.h>

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
