#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "platform/profile.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

// A settings file in a fresh folder, read and written through the profile service.
class ProfileTest : public testing::Test {
 protected:
  std::u16string Get(std::u16string_view key, std::u16string_view defaultValue = u"<default>",
                     std::u16string_view section = u"Setting") {
    return platform::GetPrivateProfileString(section, key, defaultValue, ini_);
  }
  bool Put(std::u16string_view key, std::u16string_view value, std::u16string_view section = u"Setting") {
    return platform::WritePrivateProfileString(section, key, value, ini_);
  }
  static std::string ReadBytes(const std::filesystem::path& file) { return testsupport::ReadFileBytes(file); }
  static void WriteBytes(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

  testsupport::TempDir folder_;
  const std::filesystem::path& dir_ = folder_.Path();
  const std::filesystem::path ini_ = dir_ / "Sorvane.ini";
};
