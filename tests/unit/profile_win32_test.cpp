#include <string>

#include "platform/app_dir.h"
#include "platform/win32/win32_api.h"
#include "support/file_bytes.h"
#include "unit/profile_fixture.h"

namespace {

namespace fs = std::filesystem;

std::u16string FileText(const std::string& bytes) {
  if (!bytes.starts_with("\xFF\xFE")) return u"<no UTF-16 mark>";
  return testsupport::FromUtf16LeBytes(std::string_view(bytes).substr(2));
}

std::u16string ReadWithTheSystem(const fs::path& file, const wchar_t* key) {
  wchar_t value[100] = {};
  ::GetPrivateProfileStringW(L"Setting", key, L"<missing>", value, 100, file.c_str());
  return reinterpret_cast<const char16_t*>(value);
}

TEST_F(ProfileTest, NewFileIsUtf16WithKeysInWriteOrderAndTheSystemReadsIt) {
  ASSERT_TRUE(Put(u"COMPORT", u"COM1"));
  ASSERT_TRUE(Put(u"BaudRate", u"9600"));
  ASSERT_TRUE(Put(u"Filter", u"接收,過濾"));
  ASSERT_TRUE(Put(u"baudrate", u"115200"));
  const std::u16string text = FileText(ReadBytes(ini_));
  EXPECT_NE(text.find(u"[Setting]\r\nCOMPORT=COM1\r\nBaudRate=115200\r\nFilter=接收,過濾"), std::u16string::npos)
      << text.size();
  EXPECT_EQ(ReadWithTheSystem(ini_, L"Filter"), u"接收,過濾");
  EXPECT_EQ(ReadWithTheSystem(ini_, L"BAUDRATE"), u"115200");
}

// Windows sets the archive attribute as it likes; what counts is hidden on, read-only off.
bool HiddenAndWritable(const fs::path& file) {
  const DWORD attributes = ::GetFileAttributesW(file.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN) &&
         !(attributes & FILE_ATTRIBUTE_READONLY);
}

TEST_F(ProfileTest, HiddenFileStaysWritableAndHidingClearsReadOnly) {
  ASSERT_TRUE(Put(u"COMPORT", u"COM1"));
  platform::SetFileHidden(ini_);
  EXPECT_TRUE(HiddenAndWritable(ini_));
  ASSERT_TRUE(Put(u"COMPORT", u"COM2"));
  EXPECT_EQ(Get(u"COMPORT"), u"COM2");

  ASSERT_TRUE(::SetFileAttributesW(ini_.c_str(), FILE_ATTRIBUTE_READONLY));
  platform::SetFileHidden(ini_);
  EXPECT_TRUE(HiddenAndWritable(ini_));
  ASSERT_TRUE(Put(u"COMPORT", u"COM3"));
  EXPECT_EQ(Get(u"COMPORT"), u"COM3");
}

TEST_F(ProfileTest, AnOlderCodePageFileTakesWhatItCanHoldAndRefusesTheRest) {
  WriteBytes(ini_, "[Setting]\r\nCOMPORT=COM4\r\n");
  EXPECT_FALSE(Put(u"Filter", u"\U0001F600 not in any ANSI code page"));
  EXPECT_EQ(ReadBytes(ini_), "[Setting]\r\nCOMPORT=COM4\r\n");
  ASSERT_TRUE(Put(u"Filter", u"a, b"));
  EXPECT_EQ(Get(u"Filter"), u"a, b");
  ASSERT_TRUE(Put(u"Filter", u"a\r\nb"));
  EXPECT_EQ(Get(u"Filter"), u"a\r\nb");
  EXPECT_EQ(Get(u"COMPORT"), u"COM4");
}

TEST_F(ProfileTest, ARelativeFileIsTheCurrentFoldersNotTheWindowsFolders) {
  const fs::path old = fs::current_path();
  fs::current_path(dir_);
  const bool written = platform::WritePrivateProfileString(u"Setting", u"k", u"v", "relative.ini");
  const std::u16string read = platform::GetPrivateProfileString(u"Setting", u"k", u"", "relative.ini");
  fs::current_path(old);
  EXPECT_TRUE(written);
  EXPECT_EQ(read, u"v");
  EXPECT_TRUE(fs::exists(dir_ / "relative.ini"));
}

TEST_F(ProfileTest, SettingsGoBesideTheProgramOrToTheUsersApplicationData) {
  const std::u16string appDir = dir_.u16string();
  EXPECT_EQ(platform::SettingsFilePath(appDir, u"Sorvane.ini"), ini_);
  EXPECT_EQ(fs::directory_iterator(dir_), fs::directory_iterator());  // the write test left nothing

  WriteBytes(dir_ / "plain", "");
  const fs::path elsewhere = platform::SettingsFilePath((dir_ / "plain" / "bin").u16string(), u"Sorvane.ini");
  EXPECT_EQ(elsewhere.filename(), "Sorvane.ini");
  EXPECT_EQ(elsewhere.parent_path().filename(), "Tarvolm");
  EXPECT_TRUE(fs::is_directory(elsewhere.parent_path()));
  wchar_t appData[MAX_PATH] = {};
  ASSERT_GT(::GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH), 0u);
  EXPECT_TRUE(fs::equivalent(elsewhere.parent_path().parent_path(), appData));
}

TEST(AppDirTest, ExecutableDirectoryIsADriveFolderWithoutTrailingSeparator) {
  const std::u16string folder = platform::ExecutableDirectory();
  ASSERT_GE(folder.size(), 3u);
  EXPECT_EQ(folder.substr(1, 2), u":\\");
  EXPECT_TRUE(folder.size() == 3 || folder.back() != platform::PathSeparator());
  EXPECT_TRUE(fs::is_directory(fs::path(folder)));
}

}  // namespace
