#include "support/hub_fixture.h"

#include <fstream>
#include <sstream>

#include "platform/profile.h"
#include "platform/text.h"

std::u16string HubTest::Setting(std::u16string_view key) {
  return platform::GetPrivateProfileString(u"Setting", key, u"<missing>", SettingsFile());
}

void HubTest::WriteSettings(const std::string& content) {
  std::ofstream(SettingsFile(), std::ios::binary) << content;
}

std::string HubTest::ReadSettingsFile() const {
  std::ifstream in(SettingsFile(), std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  const std::string bytes = out.str();
  // The Windows build keeps its settings file in UTF-16 so any text survives.
  if (bytes.size() < 2 || bytes[0] != '\xFF' || bytes[1] != '\xFE') return bytes;
  std::u16string wide;
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                         static_cast<unsigned char>(bytes[i + 1]) << 8));
  }
  return text::ToUtf8(wide);
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
