#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/serial_port_app.h"
#include "app/main_window.h"
#include "platform/codepage.h"
#include "support/headless/dialog_headless.h"
#include "platform/text.h"
#include "res/resource.h"
#include "serial/port_discovery.h"
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
    dlg = std::make_unique<MainWindow>();
    ASSERT_TRUE(dlg->Create());
  }
  HeadlessWindow& W() { return toolkit.WindowOf(*dlg); }
  std::u16string Text(int id) { return W().GetText(id); }
  // Hands `bytes` to the window as the reader hands over one chunk.
  void Receive(const std::string& bytes) {
    dlg->GetReceiver().Receive({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
    dlg->GetReceiver().HandOverDone();
  }
  bool PortOpen() { return dlg->GetConnection().IsOpen(); }
  // The Filter dialog accepted with `conditions`, which turns the filter on.
  void SetFilter(std::u16string conditions) {
    toolkit.ScriptModal(IDD_FILTER, [conditions](HeadlessWindow& w) {
      w.Replace(IDC_FILTER_TEXT, conditions);
      w.Click(IDOK);
    });
    W().Click(IDC_FILTER_SET);
  }
  // Saves the receive text to `file` as the user choosing that file in the dialog.
  void SaveAs(const std::filesystem::path& file) {
    toolkit.QueueFileDialogAnswer(FileDialogResult{file.u16string(), file.filename().u16string()});
    W().Click(IDC_RX_SAVE);
  }
  // Picks `encoding` in the Encoding list as a user's click does.
  void PickEncoding(std::u16string_view encoding) {
    const auto items = ComboItems(IDC_ENCODING);
    const auto at = std::find(items.begin(), items.end(), encoding);
    ASSERT_NE(at, items.end()) << text::ToUtf8(encoding);
    W().PickComboItem(IDC_ENCODING, static_cast<int>(at - items.begin()));
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
  std::unique_ptr<MainWindow> dlg;
  std::vector<platform::SerialDeviceInfo> devices;
};
