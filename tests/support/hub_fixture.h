#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/serial_port_app.h"
#include "app/serial_port_dlg.h"
#include "platform/codepage.h"
#include "support/headless/dialog_headless.h"
#include "platform/text.h"
#include "serial/port_discovery.h"
#include "serial/port_messages.h"
#include "support/temp_dir.h"

// The main dialog on the headless backend, started in a fresh folder that stands for the
// executable's, with a port list the test controls.
class HubTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_strAppDir = folder.Path().u16string();
    SetPortDiscovery([this] { return devices; });
  }
  void TearDown() override {
    dlg.reset();
    SetPortDiscovery({});
    platform::SetACPForTesting(0);
  }

  // Starts the dialog; the code page chooses the language (936 Simplified, 950 Traditional).
  void Start(unsigned codePage = 1252) {
    platform::SetACPForTesting(codePage);
    dlg = std::make_unique<CSerialPortDlg>();
    ASSERT_TRUE(dlg->Create());
  }
  HeadlessWindow& W() { return toolkit.WindowOf(*dlg); }
  std::u16string Text(int id) { return W().GetText(id); }
  // Hands `bytes` to the window as the read thread does with one chunk; the handler's result.
  LRESULT Receive(const std::string& bytes) {
    return dlg->SendMessage(WM_PORT_RXDATA, reinterpret_cast<WPARAM>(bytes.data()), static_cast<LPARAM>(bytes.size()));
  }
  std::filesystem::path SettingsFile() const { return folder.Path() / "Sorvane.ini"; }
  std::u16string Setting(std::u16string_view key);
  void WriteSettings(const std::string& content);
  std::string ReadSettingsFile() const;
  // Adds a port to the list the dialog discovers.
  void AddDevice(const std::u16string& devicePath, const std::u16string& friendlyName);
  std::vector<std::u16string> ComboItems(int id);
  std::vector<std::u16string> MessageTexts() const;

  testsupport::TempDir folder;
  HeadlessToolkit toolkit;
  std::unique_ptr<CSerialPortDlg> dlg;
  std::vector<platform::SerialDeviceInfo> devices;
};
