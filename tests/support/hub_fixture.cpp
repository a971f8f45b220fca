#include "support/hub_fixture.h"

#include <fstream>
#include <sstream>

#include "platform/profile.h"
#include "platform/text.h"
#include "support/file_bytes.h"

std::u16string HubTest::Setting(std::u16string_view key) {
  return platform::GetPrivateProfileString(u"Setting", key, u"<missing>", SettingsFile());
}

void HubTest::WriteSettings(const std::string& content) {
  std::ofstream(SettingsFile(), std::ios::binary) << content;
}

std::string HubTest::ReadSettingsFile() const {
  const std::string bytes = testsupport::ReadFileBytes(SettingsFile());
  // The Windows build keeps its settings file in UTF-16 so any text survives.
  if (!bytes.starts_with("\xFF\xFE")) return bytes;
  return text::ToUtf8(testsupport::FromUtf16LeBytes(std::string_view(bytes).substr(2)));
}

void HubTest::AddDevice(const std::u16string& devicePath, const std::u16string& friendlyName) {
  platform::SerialDeviceInfo device;
  device.devicePath = devicePath;
  device.friendlyName = friendlyName;
  device.description = u"test device";
  devices.push_back(device);
}

std::vector<std::u16string> HubTest::ComboItems(int id) {
  std::vector<std::u16string> items;
  for (int i = 0; i < W().ComboGetCount(id); ++i) items.push_back(W().ComboGetItem(id, i));
  return items;
}

std::vector<std::u16string> HubTest::MessageTexts() const {
  std::vector<std::u16string> texts;
  for (const auto& box : toolkit.messageBoxes) texts.push_back(box.text);
  return texts;
}
