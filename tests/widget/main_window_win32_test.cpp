#include <gtest/gtest.h>

#include <memory>

// The program's headers first: its message vocabulary comes before the system's.
#include "app/main_window.h"
#include "platform/win32/win32_api.h"

#include <commctrl.h>

#include "platform/profile.h"
#include "platform/win32/dialog_win32.h"
#include "res/resource.h"
#include "support/program_environment.h"
#include "support/temp_dir.h"

namespace {

// The program's own window on the real Win32 controls.
class Win32MainWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
  }
  void SetUp() override {
    dlg = std::make_unique<MainWindow>();
    ASSERT_TRUE(dlg->Create());
  }
  HWND Item(int id) const {
    return ::GetDlgItem(static_cast<Win32DialogWindow*>(dlg->Window())->Handle(), id);
  }

  testsupport::TempDir folder;
  testsupport::ProgramEnvironment program{folder.Path()};
  Win32Toolkit toolkit{::GetModuleHandleW(nullptr)};
  std::unique_ptr<MainWindow> dlg;
};

// A check box's accessible default action (MSAA and UI Automation alike) is BM_CLICK;
// Wine's accessibility layer does not implement that action, so the message is sent here.
TEST_F(Win32MainWindowTest, ACheckBoxClickedByMessageRunsItsHandler) {
  ::SendMessageW(Item(IDC_RX_HEX), BM_CLICK, 0, 0);
  EXPECT_TRUE(::IsWindowEnabled(Item(IDC_RX_ADDSPACE)));
  ::SendMessageW(Item(IDC_TX_HEX), BM_CLICK, 0, 0);
  EXPECT_TRUE(::IsWindowEnabled(Item(IDC_TX_IGNORESPACE)));

  dlg->SetDlgItemText(IDC_TX_INTERVAL, u"250");
  ::SendMessageW(Item(IDC_TX_AUTOSEND), BM_CLICK, 0, 0);
  EXPECT_EQ(platform::GetPrivateProfileString(u"Setting", u"Interval", u"", folder.Path() / "Sorvane.ini"), u"250");
  ::SendMessageW(Item(IDC_TX_AUTOSEND), BM_CLICK, 0, 0);

  dlg->CheckDlgButton(IDC_TX_HEX, BST_UNCHECKED);  // the program's own check runs nothing
  EXPECT_TRUE(::IsWindowEnabled(Item(IDC_TX_IGNORESPACE)));
}

// The line controls on the real controls: the Flow list, the DTR box saved as clicked, RTS
// greyed under RTS/CTS, Reconnect saved as clicked, and indicators a click does not change.
TEST_F(Win32MainWindowTest, TheLineControlsWorkOnTheRealControls) {
  EXPECT_EQ(::SendMessageW(Item(IDC_FLOW), CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(::SendMessageW(Item(IDC_FLOW), CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(::SendMessageW(Item(IDC_DTR), BM_GETCHECK, 0, 0), BST_CHECKED);
  ::SendMessageW(Item(IDC_DTR), BM_CLICK, 0, 0);
  EXPECT_EQ(platform::GetPrivateProfileString(u"Setting", u"DTR", u"", folder.Path() / "Sorvane.ini"), u"0");

  ::SendMessageW(Item(IDC_FLOW), CB_SETCURSEL, 1, 0);
  ::SendMessageW(::GetParent(Item(IDC_FLOW)), WM_COMMAND, MAKEWPARAM(IDC_FLOW, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Item(IDC_FLOW)));
  EXPECT_FALSE(::IsWindowEnabled(Item(IDC_RTS)));

  ::SendMessageW(Item(IDC_RECONNECT), BM_CLICK, 0, 0);
  EXPECT_EQ(platform::GetPrivateProfileString(u"Setting", u"Reconnect", u"", folder.Path() / "Sorvane.ini"), u"1");

  dlg->EnableItem(IDC_CTS, true);
  ::SendMessageW(Item(IDC_CTS), BM_CLICK, 0, 0);
  EXPECT_EQ(::SendMessageW(Item(IDC_CTS), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

// The View group on the real controls: the Encoding list saved as picked, the Hex dump box
// greying the Filter box while it is checked.
TEST_F(Win32MainWindowTest, TheEncodingListAndTheHexDumpBoxWorkOnTheRealControls) {
  EXPECT_EQ(::SendMessageW(Item(IDC_ENCODING), CB_GETCOUNT, 0, 0), 9);
  EXPECT_EQ(::SendMessageW(Item(IDC_ENCODING), CB_GETCURSEL, 0, 0), 0);
  ::SendMessageW(Item(IDC_ENCODING), CB_SETCURSEL, 8, 0);
  ::SendMessageW(::GetParent(Item(IDC_ENCODING)), WM_COMMAND, MAKEWPARAM(IDC_ENCODING, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Item(IDC_ENCODING)));
  EXPECT_EQ(platform::GetPrivateProfileString(u"Setting", u"Encoding", u"", folder.Path() / "Sorvane.ini"), u"KOI8-R");

  ::SendMessageW(Item(IDC_RX_HEXDUMP), BM_CLICK, 0, 0);
  EXPECT_FALSE(::IsWindowEnabled(Item(IDC_RX_FILTER)));
  EXPECT_EQ(platform::GetPrivateProfileString(u"Setting", u"HexDump", u"", folder.Path() / "Sorvane.ini"), u"1");
  ::SendMessageW(Item(IDC_RX_HEXDUMP), BM_CLICK, 0, 0);
  EXPECT_TRUE(::IsWindowEnabled(Item(IDC_RX_FILTER)));
}

// The view options and the log on the real controls: the boxes saved as clicked, the idle
// gap's up-down stepping its buddy, the Log button's caption and the file shown while a log
// runs, and a text log with the stamp and the sent line (the EDIT shows them uncoloured).
TEST_F(Win32MainWindowTest, TheViewOptionsAndTheLogWorkOnTheRealControls) {
  const auto ini = folder.Path() / "Sorvane.ini";
  ::SendMessageW(Item(IDC_RX_TIMESTAMP), BM_CLICK, 0, 0);
  ::SendMessageW(Item(IDC_SHOW_SENT), BM_CLICK, 0, 0);
  EXPECT_EQ(platform::GetPrivateProfileString(u"Setting", u"Timestamp", u"", ini), u"1");
  EXPECT_EQ(platform::GetPrivateProfileString(u"Setting", u"ShowSent", u"", ini), u"1");
  EXPECT_EQ(dlg->GetDlgItemText(IDC_IDLE_GAP), u"20");
  EXPECT_EQ(::SendMessageW(Item(IDC_IDLE_GAP_SPIN), UDM_GETBUDDY, 0, 0), reinterpret_cast<LRESULT>(Item(IDC_IDLE_GAP)));
  ::SendMessageW(Item(IDC_IDLE_GAP_SPIN), UDM_SETPOS32, 0, 35);
  EXPECT_EQ(dlg->GetDlgItemText(IDC_IDLE_GAP), u"35");
  EXPECT_EQ(dlg->GetDlgItemText(IDC_LOG), u"Log...");

  dlg->GetReceiver().Receive(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>("ab\n"), 3));
  dlg->GetReceiver().Sent(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>("hi"), 2));
  const std::u16string shown = dlg->GetDlgItemText(IDC_RX_EDIT);
  EXPECT_NE(shown.find(u"] ab"), std::u16string::npos);
  EXPECT_NE(shown.find(u"] TX> hi\r\n"), std::u16string::npos);
}

}  // namespace
