#include "app/settings.h"

#include "platform/port_names.h"
#include "platform/profile.h"

namespace {
constexpr std::u16string_view kSection = u"Setting";

std::u16string Read(std::u16string_view key, std::u16string_view fallback, const std::filesystem::path& file) {
  return platform::GetPrivateProfileString(kSection, key, fallback, file);
}
void Write(std::u16string_view key, std::u16string_view value, const std::filesystem::path& file) {
  platform::WritePrivateProfileString(kSection, key, value, file);
}
}  // namespace

StoredSettings SettingsFile::Load() const {
  StoredSettings s;
  // The port defaults to the system's usual first port.
  s.port = Read(u"COMPORT", platform::DefaultPortName(), m_path);
  s.baudRate = Read(u"BaudRate", u"9600", m_path);
  s.parity = Read(u"Parity", u"NONE", m_path);
  s.dataBits = Read(u"DataBits", u"8", m_path);
  s.stopBits = Read(u"StopBits", u"1", m_path);
  s.interval = Read(u"Interval", u"1000", m_path);
  s.filter = Read(u"Filter", u"", m_path);
  s.keepOnly = Read(u"_bCheck", u"0", m_path) != u"0";
  s.folder = Read(u"Path", u"", m_path);
  return s;
}

// In this order: a new file lists its keys so.
void SettingsFile::Save(const StoredSettings& s) const {
  Write(u"COMPORT", s.port, m_path);
  Write(u"BaudRate", s.baudRate, m_path);
  Write(u"Parity", s.parity, m_path);
  Write(u"DataBits", s.dataBits, m_path);
  Write(u"StopBits", s.stopBits, m_path);
  Write(u"Interval", s.interval, m_path);
  Write(u"Path", s.folder, m_path);
  Write(u"Filter", s.filter, m_path);
  Write(u"_bCheck", s.keepOnly ? u"1" : u"0", m_path);
  platform::SetFileHidden(m_path);
}

void SettingsFile::SaveInterval(std::u16string_view interval) const { SaveKey(u"Interval", interval); }

std::u16string SettingsFile::LoadKey(std::u16string_view key, std::u16string_view fallback) const {
  return Read(key, fallback, m_path);
}

void SettingsFile::SaveKey(std::u16string_view key, std::u16string_view value) const {
  Write(key, value, m_path);
  platform::SetFileHidden(m_path);
}
