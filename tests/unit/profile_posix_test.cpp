#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <vector>

#include "platform/app_dir.h"
#include "support/file_size_limit.h"
#include "platform/text.h"
#include "unit/profile_fixture.h"

namespace {

namespace fs = std::filesystem;

// Sets or clears an environment variable for one test and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? ::setenv(name, value, 1) : ::unsetenv(name);
  }
  ~ScopedEnv() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

std::vector<std::string> DirectoryEntries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  return names;
}

TEST_F(ProfileTest, NewFileHasKeysInWriteOrderAndNoTemporaryLeftBehind) {
  ASSERT_TRUE(Put(u"COMPORT", u"COM1"));
  ASSERT_TRUE(Put(u"BaudRate", u"9600"));
  ASSERT_TRUE(Put(u"Parity", u"NONE"));
  ASSERT_TRUE(Put(u"baudrate", u"115200"));
  EXPECT_EQ(ReadBytes(ini_), "[Setting]\nCOMPORT=COM1\nBaudRate=115200\nParity=NONE\n");
  EXPECT_EQ(DirectoryEntries(dir_), std::vector<std::string>{"Sorvane.ini"});
}

TEST_F(ProfileTest, TextIsStoredAsUtf8) {
  ASSERT_TRUE(Put(u"Filter", u"接收"));
  EXPECT_NE(ReadBytes(ini_).find(text::ToUtf8(u"Filter=接收\n")), std::string::npos);
  ASSERT_TRUE(Put(u"Filter", u"接收\r\nC:\\"));
  EXPECT_NE(ReadBytes(ini_).find(text::ToUtf8(u"Filter=\"\\lines{接收\\r\\nC:\\\\}\"\n")), std::string::npos);
}

TEST_F(ProfileTest, RewriteKeepsEveryOtherByteAndTheLineEndStyle) {
  WriteBytes(ini_,
             "; Tarvolm settings\r\n[Other]\r\nBaudRate=1\r\n\r\n[SETTING]\r\ncomport = COM1  \r\n"
             "BaudRate=9600\r\n\r\n[Last]\r\nx=y");
  ASSERT_TRUE(Put(u"COMPORT", u"COM7"));
  ASSERT_TRUE(Put(u"Parity", u"EVEN"));
  ASSERT_TRUE(Put(u"k", u"v", u"New"));
  EXPECT_EQ(ReadBytes(ini_),
            "; Tarvolm settings\r\n[Other]\r\nBaudRate=1\r\n\r\n[SETTING]\r\ncomport = COM7  \r\n"
            "BaudRate=9600\r\nParity=EVEN\r\n\r\n[Last]\r\nx=y\r\n[New]\r\nk=v\r\n");
}

TEST_F(ProfileTest, ByteOrderMarkIsSkippedOnReadingAndKeptOnWriting) {
  WriteBytes(ini_, "\xEF\xBB\xBF[Setting]\nCOMPORT=COM2\n");
  EXPECT_EQ(Get(u"COMPORT"), u"COM2");
  ASSERT_TRUE(Put(u"BaudRate", u"4800"));
  EXPECT_EQ(ReadBytes(ini_), "\xEF\xBB\xBF[Setting]\nCOMPORT=COM2\nBaudRate=4800\n");
}

TEST_F(ProfileTest, DamagedFilesReadAsDefaultsAndAreOnlyAddedTo) {
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary.push_back(static_cast<char>((i * 7919) % 256));
  const std::string damaged[] = {binary, "COMPORT=COM5\nno equals sign\n", "[Setting\nCOMPORT=COM5",
                                 "[Setting]\n" + std::string(1 << 20, 'x'), std::string(1 << 20, '=')};
  for (const auto& bytes : damaged) {
    WriteBytes(ini_, bytes);
    EXPECT_EQ(Get(u"COMPORT"), u"<default>");
    ASSERT_TRUE(Put(u"COMPORT", u"COM6"));
    EXPECT_EQ(Get(u"COMPORT"), u"COM6");
    EXPECT_TRUE(ReadBytes(ini_).starts_with(bytes));
  }
}

TEST_F(ProfileTest, AFullDiskLeavesTheOldFileWhole) {
  ASSERT_TRUE(Put(u"COMPORT", u"COM1"));
  const std::string before = ReadBytes(ini_);
  // The disk "fills up" half way through the new content.
  EXPECT_FALSE(testsupport::WithFileSizeLimit(4096, [&] { return Put(u"Filter", std::u16string(100000, u'f')); }));
  EXPECT_EQ(ReadBytes(ini_), before);
  EXPECT_EQ(DirectoryEntries(dir_), std::vector<std::string>{"Sorvane.ini"});  // no temporary
}

TEST_F(ProfileTest, RewriteKeepsModeOwnerAndSymbolicLink) {
  ASSERT_TRUE(Put(u"COMPORT", u"COM1"));
  ASSERT_EQ(::chmod(ini_.c_str(), 0640), 0);
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(ini_.c_str(), 4321, 4322), 0);  // a user's file saved by sudo
  }
  ASSERT_TRUE(Put(u"COMPORT", u"COM2"));
  struct stat status {};
  ASSERT_EQ(::stat(ini_.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
  if (root) {
    EXPECT_EQ(status.st_uid, 4321u);
    EXPECT_EQ(status.st_gid, 4322u);
  }

  const fs::path link = dir_ / "link.ini";
  fs::create_symlink(ini_, link);
  ASSERT_TRUE(platform::WritePrivateProfileString(u"Setting", u"COMPORT", u"COM3", link));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Get(u"COMPORT"), u"COM3");
}

TEST_F(ProfileTest, SettingsGoBesideTheProgramWhenItsFolderIsWritable) {
  const std::u16string appDir = text::FromUtf8(dir_.string());
  const fs::path beside = platform::SettingsFilePath(appDir, u"Sorvane.ini");
  EXPECT_EQ(beside, ini_);

  // At the root the program's own path building doubles the separator.
  const fs::path doubled = platform::SettingsFilePath(appDir + u"/", u"Sorvane.ini");
  EXPECT_EQ(doubled.string(), dir_.string() + "//Sorvane.ini");
  ASSERT_TRUE(platform::WritePrivateProfileString(u"Setting", u"COMPORT", u"COM4", doubled));
  EXPECT_EQ(Get(u"COMPORT"), u"COM4");
  if (::access("/", W_OK) == 0) {
    EXPECT_EQ(platform::SettingsFilePath(u"/", u"Sorvane.ini").string(), "//Sorvane.ini");
  }
}

TEST_F(ProfileTest, SettingsGoToTheUserConfigFolderOtherwise) {
  WriteBytes(dir_ / "plain", "");
  const std::u16string unwritable = text::FromUtf8((dir_ / "plain" / "bin").string());
  {
    const ScopedEnv xdg("XDG_CONFIG_HOME", (dir_ / "xdg").c_str());
    EXPECT_EQ(platform::SettingsFilePath(unwritable, u"Sorvane.ini"), dir_ / "xdg" / "tarvolm" / "Sorvane.ini");
    EXPECT_TRUE(fs::is_directory(dir_ / "xdg" / "tarvolm"));
  }
  const ScopedEnv relativeXdg("XDG_CONFIG_HOME", "relative");
  const ScopedEnv home("HOME", dir_.c_str());
  EXPECT_EQ(platform::SettingsFilePath(unwritable, u"Sorvane.ini"), dir_ / ".config" / "tarvolm" / "Sorvane.ini");
  EXPECT_TRUE(fs::is_directory(dir_ / ".config" / "tarvolm"));
  // An installed program's folder, also for root who may write there.
  for (const char16_t* installed : {u"/usr/bin", u"/usr/local/bin", u"/usr"}) {
    EXPECT_EQ(platform::SettingsFilePath(installed, u"Sorvane.ini"), dir_ / ".config" / "tarvolm" / "Sorvane.ini")
        << text::ToUtf8(installed);
  }
}

TEST(AppDirTest, ExecutableDirectoryIsAnAbsoluteFolderWithoutTrailingSeparator) {
  const std::u16string folder = platform::ExecutableDirectory();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.front(), platform::PathSeparator());
  EXPECT_TRUE(folder == u"/" || folder.back() != platform::PathSeparator());
  EXPECT_TRUE(fs::is_directory(text::ToUtf8(folder)));
}

}  // namespace
