#include "app/serial_port_app.h"
#include "app/serial_port_dlg.h"
#include "platform/app_dir.h"
#include "platform/port_names.h"
#include "platform/profile.h"
#include "res/resource.h"

namespace {
constexpr std::u16string_view kSection = u"Setting";

struct ComboKey {
  std::u16string_view key;
  std::u16string_view defaultValue;
  int controlId;
};
// Port and line settings, in the order they are read and written.
constexpr ComboKey kComboKeys[] = {
    {u"COMPORT", u"", IDC_PORT},  // defaults to the system's usual first port
    {u"BaudRate", u"9600", IDC_BAUD},
    {u"Parity", u"NONE", IDC_PARITY},
    {u"DataBits", u"8", IDC_DATABITS},
    {u"StopBits", u"1", IDC_STOPBITS},
};
}  // namespace

std::filesystem::path CSerialPortDlg::SettingsPath() const {
  return platform::SettingsFilePath(g_strAppDir, u"Sorvane.ini");
}

void CSerialPortDlg::LoadSettings() {
  const auto path = SettingsPath();
  for (const auto& row : kComboKeys) {
    const auto fallback = row.controlId == IDC_PORT ? platform::DefaultPortName() : row.defaultValue;
    SetDlgItemText(row.controlId, platform::GetPrivateProfileString(kSection, row.key, fallback, path));
  }
  SetDlgItemText(IDC_TX_INTERVAL, platform::GetPrivateProfileString(kSection, u"Interval", u"1000", path));
  m_strFilter = platform::GetPrivateProfileString(kSection, u"Filter", u"", path);
  m_strTemp = platform::GetPrivateProfileString(kSection, u"_bCheck", u"0", path);
  m_bOnlyReserve = m_strTemp != u"0";
  m_strPath = platform::GetPrivateProfileString(kSection, u"Path", u"", path);
  if (m_strPath.empty()) {
    m_strPath = g_strAppDir;
    SaveSettings();
  }
}

void CSerialPortDlg::SaveSettings() {
  const auto path = SettingsPath();
  for (const auto& row : kComboKeys) {
    platform::WritePrivateProfileString(kSection, row.key, GetDlgItemText(row.controlId), path);
  }
  platform::WritePrivateProfileString(kSection, u"Interval", GetDlgItemText(IDC_TX_INTERVAL), path);
  platform::WritePrivateProfileString(kSection, u"Path", m_strPath, path);
  platform::WritePrivateProfileString(kSection, u"Filter", m_strFilter, path);
  platform::WritePrivateProfileString(kSection, u"_bCheck", m_bOnlyReserve ? u"1" : u"0", path);
  platform::SetFileHidden(path);
}

void CSerialPortDlg::WriteIntervalSetting() {
  const auto path = SettingsPath();
  platform::WritePrivateProfileString(kSection, u"Interval", GetDlgItemText(IDC_TX_INTERVAL), path);
  platform::SetFileHidden(path);
}
