#include <gtest/gtest.h>

#include "support/file_bytes.h"
#include "support/hub_fixture.h"

using StartupWin32Test = HubTest;  // the profile calls' reading of text

TEST_F(StartupWin32Test, AUtf16SettingsFileCutInTheMiddleOfACharacterIsReportedAndLeftAsItIs) {
  const std::string cut("\xFF\xFE[\0S\0e\0t\0]\0\r", 13);
  WriteSettings(cut);
  Start();
  ASSERT_EQ(MessageTexts().size(), 1u);
  EXPECT_TRUE(MessageTexts()[0].ends_with(u"It is not text in the encoding expected."));
  EXPECT_EQ(testsupport::ReadFileBytes(SettingsFile()), cut);
}
