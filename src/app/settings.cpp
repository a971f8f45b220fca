#include "app/settings.h"

#include "platform/port_names.h"
#include "platform/profile.h"

namespace {
constexpr std::u16string_view kSection = u"Setting";

void Write(std::u16string_view key, std::u16string_view value, const std::filesystem::path& file) {
  platform::WritePrivateProfileString(kSection, key, value, file);
}
}  // namespace

StoredSettings SettingsFile::Load() {
  m_problem = platform::CheckProfileFile(m_path);
  const auto read = [this](std::u16string_view key, std::u16string_view fallback) { return LoadKey(key, fallback); };
  StoredSettings s;
  // The port defaults to the system's usual first port.
  s.port = read(u"COMPORT", platform::DefaultPortName());
  s.baudRate = read(u"BaudRate", u"9600");
  s.parity = read(u"Parity", u"NONE");
  s.dataBits = read(u"DataBits", u"8");
  s.stopBits = read(u"StopBits", u"1");
  s.interval = read(u"Interval", u"1000");
  s.filter = read(u"Filter", u"");
  s.keepOnly = read(u"_bCheck", u"0") != u"0";
  s.folder = read(u"Path", u"");
  return s;
}

// In this order: a new file lists its keys so.
void SettingsFile::Save(const StoredSettings& s) const {
  if (m_problem != platform::ProfileProblem::None) return;
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
  if (m_problem != platform::ProfileProblem::None) return std::u16string(fallback);
  return platform::GetPrivateProfileString(kSection, key, fallback, m_path);
}

void SettingsFile::SaveKey(std::u16string_view key, std::u16string_view value) const {
  if (m_problem != platform::ProfileProblem::None) return;
  Write(key, value, m_path);
  platform::SetFileHidden(m_path);
}
