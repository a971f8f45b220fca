#include <gtest/gtest.h>

#include "platform/win32/win32_api.h"

#include <commctrl.h>
#include <shlobj.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/dialog.h"
#include "platform/win32/dialog_win32.h"
#include "platform/win32/file_dialog_win32.h"
#include "platform/win32/utf16_win32.h"
#include "res/dialog_template.h"
#include "res/resource.h"
#include "support/recording_dialog.h"

namespace {

HWND Hwnd(const CDialogEx& dialog) { return static_cast<Win32DialogWindow*>(dialog.Window())->Handle(); }
HWND Item(const CDialogEx& dialog, int id) { return ::GetDlgItem(Hwnd(dialog), id); }

// Runs the thread's messages as the program's loop does until `done` holds or time is up.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::milliseconds(3000)) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (Win32DialogWindow::PreTranslate(msg)) continue;
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    if (done()) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

void PumpFor(std::chrono::milliseconds duration) {
  PumpUntil([] { return false; }, duration);
}

// A key as the keyboard delivers it, with the modifiers that GetKeyState then reports.
void PressKey(HWND target, WPARAM key, bool ctrl = false, bool alt = false, bool shift = false) {
  BYTE state[256] = {};
  ::GetKeyboardState(state);
  state[VK_CONTROL] = ctrl ? 0x80 : 0;
  state[VK_MENU] = alt ? 0x80 : 0;
  state[VK_SHIFT] = shift ? 0x80 : 0;
  ::SetKeyboardState(state);
  const UINT scan = ::MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC);
  const LPARAM lParam = 1 | (static_cast<LPARAM>(scan) << 16) | (alt ? (1 << 29) : 0);
  ::PostMessageW(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, lParam);
  PumpFor(std::chrono::milliseconds(30));
  state[VK_CONTROL] = state[VK_MENU] = state[VK_SHIFT] = 0;
  ::SetKeyboardState(state);
}

HGLOBAL MakeDrop(const std::vector<std::wstring>& paths) {
  std::size_t units = 1;
  for (const auto& path : paths) units += path.size() + 1;
  const HGLOBAL memory = ::GlobalAlloc(GHND, sizeof(DROPFILES) + units * sizeof(wchar_t));
  auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  auto* out = reinterpret_cast<wchar_t*>(drop + 1);
  for (const auto& path : paths) {
    path.copy(out, path.size());
    out += path.size() + 1;
  }
  ::GlobalUnlock(memory);
  return memory;
}

class Win32DialogTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
  }
  void SetUp() override { ASSERT_TRUE(dialog.Create()); }
  Win32DialogWindow& Window() { return *static_cast<Win32DialogWindow*>(dialog.Window()); }

  Win32Toolkit toolkit{::GetModuleHandleW(nullptr)};
  RecordingDialog dialog;
};

TEST_F(Win32DialogTest, BuildsTheTemplateHiddenAndShowsItOnceSetUp) {
  for (const ControlTemplate& ct : MainDialogTemplate().controls) {
    if (ct.id == IDC_STATIC) continue;
    const HWND item = Item(dialog, ct.id);
    ASSERT_NE(item, nullptr) << ct.name;
    EXPECT_EQ(Window().IsVisible(ct.id), (ct.style & WS_VISIBLE) != 0) << ct.name;
    EXPECT_EQ(Window().IsEnabled(ct.id), (ct.style & WS_DISABLED) == 0) << ct.name;
  }
  EXPECT_EQ(dialog.GetDlgItemText(IDC_OPEN), u"Open");
  EXPECT_EQ(dialog.GetWindowText(), MainDialogTemplate().caption);
  EXPECT_FALSE(::IsWindowVisible(Hwnd(dialog)));

  ASSERT_TRUE(PumpUntil([&] { return ::IsWindowVisible(Hwnd(dialog)) != FALSE; }));
  EXPECT_EQ(dialog.GetFocusId(), IDC_SEND);  // the first control with a tab stop
  EXPECT_NE(::SendMessageW(Hwnd(dialog), WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_EQ(::SendMessageW(Hwnd(dialog), WM_QUERYDRAGICON, 0, 0), ::SendMessageW(Hwnd(dialog), WM_GETICON, ICON_BIG, 0));
}

TEST_F(Win32DialogTest, FillsTheCombosFromTheInitialListsWithoutSelecting) {
  ASSERT_EQ(dialog.ComboGetCount(IDC_BAUD), 13);
  EXPECT_EQ(dialog.ComboGetItem(IDC_BAUD, 0), u"110");
  EXPECT_EQ(dialog.ComboGetItem(IDC_BAUD, 12), u"256000");
  EXPECT_EQ(dialog.ComboGetItem(IDC_PARITY, 4), u"SPACE");
  EXPECT_EQ(dialog.ComboGetCurSel(IDC_BAUD), CB_ERR);
  EXPECT_EQ(dialog.ComboGetCount(IDC_PORT), 0);
  EXPECT_EQ(dialog.ComboGetItem(IDC_BAUD, 13), u"");
  EXPECT_EQ(dialog.ComboGetItem(IDC_BAUD, -1), u"");

  dialog.SetDlgItemText(IDC_BAUD, u"12345");
  dialog.ComboSetCurSel(IDC_BAUD, 6);
  EXPECT_EQ(dialog.GetDlgItemText(IDC_BAUD), u"9600");
  dialog.ComboResetContent(IDC_BAUD);
  EXPECT_EQ(dialog.ComboGetCount(IDC_BAUD), 0);
  EXPECT_EQ(dialog.GetDlgItemText(IDC_BAUD), u"");

  // The history list has no edit field: a text selects the item that carries it.
  EXPECT_EQ(dialog.ComboAddString(IDC_FILE_HISTORY, u"a.txt"), 0);
  EXPECT_EQ(dialog.ComboAddString(IDC_FILE_HISTORY, u"b.txt"), 1);
  dialog.SetDlgItemText(IDC_FILE_HISTORY, u"b.txt");
  EXPECT_EQ(dialog.ComboGetCurSel(IDC_FILE_HISTORY), 1);
  EXPECT_EQ(dialog.GetDlgItemText(IDC_FILE_HISTORY), u"b.txt");
}

TEST_F(Win32DialogTest, ReportsClicksChecksAndOneChangePerTextSet) {
  ::SendMessageW(Item(dialog, IDC_RX_HEX), BM_CLICK, 0, 0);
  EXPECT_EQ(dialog.IsDlgButtonChecked(IDC_RX_HEX), UINT{BST_CHECKED});
  EXPECT_EQ(dialog.Count(BN_CLICKED, IDC_RX_HEX), 1);
  dialog.CheckDlgButton(IDC_RX_HEX, BST_UNCHECKED);
  EXPECT_EQ(dialog.Count(BN_CLICKED, IDC_RX_HEX), 1);  // the program's own check is no click

  dialog.EnableItem(IDC_OPEN, false);
  EXPECT_FALSE(dialog.IsItemEnabled(IDC_OPEN));
  dialog.ShowItem(IDC_TX_CLEAR, true);
  EXPECT_TRUE(dialog.IsItemVisible(IDC_TX_CLEAR));

  dialog.SetDlgItemText(IDC_TX_EDIT, u"AB");
  dialog.SetDlgItemText(IDC_TX_EDIT, u"AB");
  dialog.SetDlgItemText(IDC_TX_INTERVAL, u"1000");
  EXPECT_EQ(dialog.Count(EN_CHANGE, IDC_TX_EDIT), 2);
  EXPECT_EQ(dialog.Count(EN_CHANGE, IDC_TX_INTERVAL), 1);
  EXPECT_EQ(dialog.GetDlgItemInt(IDC_TX_INTERVAL), 1000);

  dialog.SetFocusId(IDC_TX_EDIT);
  EXPECT_EQ(dialog.GetFocusId(), IDC_TX_EDIT);
  EXPECT_EQ(dialog.Count(EN_SETFOCUS, IDC_TX_EDIT), 1);
  dialog.SetFocusId(IDC_PORT);
  EXPECT_EQ(dialog.GetFocusId(), IDC_PORT);  // its edit field has the focus
  EXPECT_EQ(dialog.Count(EN_KILLFOCUS, IDC_TX_EDIT), 1);

  dialog.SpinSetRange(IDC_TX_INTERVAL_SPIN, 0, 0x7FFF);
  int lower = -1;
  int upper = -1;
  ::SendMessageW(Item(dialog, IDC_TX_INTERVAL_SPIN), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower),
                 reinterpret_cast<LPARAM>(&upper));
  EXPECT_EQ(lower, 0);
  EXPECT_EQ(upper, 0x7FFF);

  // Unknown ids are no controls: neutral answers, nothing happens.
  EXPECT_EQ(dialog.GetDlgItemText(4321), u"");
  dialog.SetDlgItemText(4321, u"x");
  EXPECT_FALSE(dialog.IsItemEnabled(4321));
  EXPECT_EQ(dialog.ComboAddString(4321, u"x"), CB_ERR);
}

TEST_F(Win32DialogTest, TheListBoxReportsTheUsersSelectionAndDoubleClicksButNotTheProgramsSelection) {
  const HWND list = Item(dialog, IDC_CMD_LIST);
  ASSERT_NE(list, nullptr);
  const LONG style = ::GetWindowLongW(list, GWL_STYLE);
  // The scroll bar's bit comes and goes with the items that do not fit.
  EXPECT_EQ(style & (LBS_NOTIFY | WS_TABSTOP), LBS_NOTIFY | WS_TABSTOP);
  for (const char16_t* item : {u"F1  one", u"F2  two", u"F3  三"}) Window().ListAddString(IDC_CMD_LIST, item);
  EXPECT_EQ(Window().ListGetCount(IDC_CMD_LIST), 3);
  EXPECT_EQ(Window().ListGetItem(IDC_CMD_LIST, 2), u"F3  三");
  EXPECT_EQ(Window().ListGetCurSel(IDC_CMD_LIST), LB_ERR);
  Window().ListSetCurSel(IDC_CMD_LIST, 1);
  EXPECT_EQ(Window().ListGetCurSel(IDC_CMD_LIST), 1);
  Window().ListSetCurSel(IDC_CMD_LIST, 7);
  EXPECT_EQ(Window().ListGetCurSel(IDC_CMD_LIST), LB_ERR) << "out of range selects none";
  PumpFor(std::chrono::milliseconds(30));
  EXPECT_TRUE(dialog.Notified(LBN_SELCHANGE).empty());

  RECT third{};
  ASSERT_NE(::SendMessageW(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&third)), LB_ERR);
  const LPARAM at = MAKELPARAM((third.left + third.right) / 2, (third.top + third.bottom) / 2);
  ::SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageW(list, WM_LBUTTONUP, 0, at);
  ::SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  ::SendMessageW(list, WM_LBUTTONUP, 0, at);
  PumpFor(std::chrono::milliseconds(30));
  EXPECT_EQ(Window().ListGetCurSel(IDC_CMD_LIST), 2);
  EXPECT_FALSE(dialog.Notified(LBN_SELCHANGE).empty());
  EXPECT_EQ(dialog.Notified(LBN_DBLCLK), std::vector<int>{IDC_CMD_LIST});

  Window().ListResetContent(IDC_CMD_LIST);
  EXPECT_EQ(Window().ListGetCount(IDC_CMD_LIST), 0);
  EXPECT_EQ(Window().ListGetCurSel(IDC_CMD_LIST), LB_ERR);
}

TEST_F(Win32DialogTest, CloseBoxTimersAndDropsReachTheOwner) {
  ::SendMessageW(Hwnd(dialog), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(dialog.closeRequests, 1);
  EXPECT_TRUE(dialog.HasWindow());  // the owner decides, and this one did not end

  dialog.SetTimer(2, 10);
  ASSERT_TRUE(PumpUntil([&] { return dialog.timers.size() >= 2; }));
  dialog.KillTimer(2);
  const std::size_t fired = dialog.timers.size();
  PumpFor(std::chrono::milliseconds(60));
  EXPECT_EQ(dialog.timers.size(), fired);
  EXPECT_EQ(dialog.timers.front(), 2U);

  // Whole paths in the drop's order, also one far longer than the old 1000-unit buffer.
  const std::wstring longPath = L"C:\\" + std::wstring(1200, L'd') + L"\\x.txt";
  ::SendMessageW(Hwnd(dialog), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(MakeDrop({L"C:\\a.txt", longPath, L"C:\\b.png"})), 0);
  ASSERT_EQ(dialog.drops.size(), 1U);
  ASSERT_EQ(dialog.drops[0].size(), 3U);
  EXPECT_EQ(dialog.drops[0][0], u"C:\\a.txt");
  EXPECT_EQ(dialog.drops[0][1].size(), longPath.size());
  EXPECT_EQ(dialog.drops[0][2], u"C:\\b.png");
}

TEST_F(Win32DialogTest, KeysPassThePreTranslationWithTheFocusedControl) {
  ASSERT_TRUE(PumpUntil([&] { return ::IsWindowVisible(Hwnd(dialog)) != FALSE; }));
  dialog.SetFocusId(IDC_TX_EDIT);
  dialog.preTranslate = [](KeyMessage& msg) { return msg.wParam == 'Q' ? TRUE : FALSE; };

  PressKey(Item(dialog, IDC_TX_EDIT), 'Q');
  PressKey(Item(dialog, IDC_TX_EDIT), 'W');
  ASSERT_GE(dialog.keys.size(), 2U);
  EXPECT_EQ(dialog.keys[0].focusId, IDC_TX_EDIT);
  EXPECT_EQ(dialog.keys[0].message, UINT{WM_KEYDOWN});
  EXPECT_EQ(dialog.GetDlgItemText(IDC_TX_EDIT), u"w");  // Q was swallowed

  // Enter reaches the big edit as a line break; a system key made plain does too.
  PressKey(Item(dialog, IDC_TX_EDIT), VK_RETURN);
  EXPECT_EQ(dialog.GetDlgItemText(IDC_TX_EDIT), u"w\r\n");
  dialog.preTranslate = [](KeyMessage& msg) {
    if (msg.message == WM_SYSKEYDOWN && msg.wParam == VK_RETURN) msg.message = WM_KEYDOWN;
    return FALSE;
  };
  PressKey(Item(dialog, IDC_TX_EDIT), VK_RETURN, false, true);
  EXPECT_EQ(dialog.GetDlgItemText(IDC_TX_EDIT), u"w\r\n\r\n");

  // Tab moves the focus out of the big edit to the next control with a tab stop, and back.
  PressKey(Item(dialog, IDC_TX_EDIT), VK_TAB);
  EXPECT_EQ(dialog.GetFocusId(), IDC_SEND_FILE);  // the next enabled one in the tab order
  PressKey(Item(dialog, IDC_SEND_FILE), VK_TAB, false, false, true);
  EXPECT_EQ(dialog.GetFocusId(), IDC_TX_EDIT);
  EXPECT_EQ(dialog.GetDlgItemText(IDC_TX_EDIT), u"w\r\n\r\n");

  // A key in a combo's edit field is the combo's.
  dialog.SetFocusId(IDC_BAUD);
  PressKey(::GetFocus(), '5');
  EXPECT_EQ(dialog.keys.back().focusId, IDC_BAUD);

  // Enter left to a one-line field never presses the default button.
  PressKey(::GetFocus(), VK_RETURN);
  dialog.SetFocusId(IDC_TX_INTERVAL);
  PressKey(::GetFocus(), VK_RETURN);
  PumpFor(std::chrono::milliseconds(50));
  EXPECT_EQ(dialog.Count(BN_CLICKED, IDC_SEND), 0);
}

TEST_F(Win32DialogTest, ReceiveBoxCatchesUpWithTheProgramsText) {
  std::u16string text = u"AB\r\n";
  Window().EditAttachText(IDC_RX_EDIT, &text);
  const HWND box = Item(dialog, IDC_RX_EDIT);
  EXPECT_EQ(dialog.GetDlgItemText(IDC_RX_EDIT), text);  // reads the string, even before a frame
  ASSERT_TRUE(PumpUntil([&] { return WindowText(box) == u"AB\r\n"; }));

  // A zero shows as the symbol for null; positions stay those of the string.
  text += std::u16string(u"C\0D", 3);
  Window().EditTextChanged(IDC_RX_EDIT, 4);
  const int length = dialog.GetWindowTextLength(IDC_RX_EDIT);
  EXPECT_EQ(length, 7);
  dialog.EditSetSel(IDC_RX_EDIT, length, length);
  dialog.EditScrollCaret(IDC_RX_EDIT);
  int start = 0;
  int end = 0;
  dialog.EditGetSel(IDC_RX_EDIT, start, end);
  EXPECT_EQ(start, 7);
  ASSERT_TRUE(PumpUntil([&] { return WindowText(box) == u"AB\r\nC\u2400D"; }));
  ::SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 7);
  EXPECT_EQ(end, 7);
  EXPECT_EQ(dialog.GetDlgItemText(IDC_RX_EDIT), text);

  // An earlier part changed (a filter removed it): the box follows from there.
  text = u"A\r\nCD";
  Window().EditTextChanged(IDC_RX_EDIT, 1);
  ASSERT_TRUE(PumpUntil([&] { return WindowText(box) == u"A\r\nCD"; }));
  text.clear();
  Window().EditTextChanged(IDC_RX_EDIT, 0);
  ASSERT_TRUE(PumpUntil([&] { return WindowText(box).empty(); }));
  EXPECT_EQ(dialog.Count(EN_CHANGE, IDC_RX_EDIT), 0);  // the program's own updates

  // The user's typing reads back from the box until the string changes again.
  ::SendMessageW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"typed"));
  EXPECT_EQ(dialog.Count(EN_CHANGE, IDC_RX_EDIT), 1);
  EXPECT_EQ(dialog.GetDlgItemText(IDC_RX_EDIT), u"typed");
  text = u"new";
  Window().EditTextChanged(IDC_RX_EDIT, 0);
  ASSERT_TRUE(PumpUntil([&] { return WindowText(box) == u"new"; }));
  EXPECT_EQ(dialog.GetDlgItemText(IDC_RX_EDIT), u"new");
}

TEST_F(Win32DialogTest, CountsWidthsInTheBoxFont) {
  const int width = Window().EditTextAreaWidth(IDC_RX_EDIT);
  RECT client;
  ::GetClientRect(Item(dialog, IDC_RX_EDIT), &client);
  EXPECT_GT(width, 100);
  EXPECT_LE(width, client.right);
  const auto charWidth = Window().EditCharWidth(IDC_RX_EDIT);
  EXPECT_GT(charWidth(u'W'), charWidth(u'i'));
  EXPECT_EQ(charWidth(u'\n'), 0);
  EXPECT_GT(charWidth(u'\0'), 0);
}

TEST_F(Win32DialogTest, PostedTasksRunInOrderOnTheWindowsThreadAndNeverAfterIt) {
  const DWORD uiThread = ::GetCurrentThreadId();
  std::vector<int> ran;
  bool allOnUiThread = true;
  std::thread worker([&] {
    for (int i = 0; i < 2000; ++i) {
      Window().PostTask([&, i] {
        ran.push_back(i);
        allOnUiThread = allOnUiThread && ::GetCurrentThreadId() == uiThread;
      });
    }
  });
  worker.join();
  ASSERT_TRUE(PumpUntil([&] { return ran.size() == 2000; }));
  EXPECT_TRUE(allOnUiThread);
  EXPECT_TRUE(std::is_sorted(ran.begin(), ran.end()));

  bool late = false;
  Window().PostTask([&] { late = true; });
  dialog.EndDialog(2);
  EXPECT_FALSE(dialog.HasWindow() && ::IsWindow(Hwnd(dialog)));
  PumpFor(std::chrono::milliseconds(50));
  EXPECT_FALSE(late);
}

TEST_F(Win32DialogTest, ModalChildDisablesItsOwnerUntilItEnds) {
  RecordingDialog filter(FilterDialogTemplate(), &dialog);
  bool ownerDisabled = false;
  bool shown = false;  // although its template does not ask for a visible window
  Window().PostTask([&] {
    ownerDisabled = !::IsWindowEnabled(Hwnd(dialog));
    shown = ::IsWindowVisible(Hwnd(filter)) != FALSE;
    ::PostMessageW(Hwnd(filter), WM_KEYDOWN, VK_ESCAPE, 0);
  });
  filter.preTranslate = [&](KeyMessage& msg) {
    if (msg.wParam == VK_ESCAPE) filter.EndDialog(7);
    return TRUE;
  };
  EXPECT_EQ(filter.DoModal(), 7);
  EXPECT_TRUE(shown);
  EXPECT_TRUE(ownerDisabled);
  EXPECT_TRUE(::IsWindowEnabled(Hwnd(dialog)));
  EXPECT_FALSE(filter.HasWindow());
}

TEST_F(Win32DialogTest, FileDialogProposesTheNameAndCancelsToNothing) {
  ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  wchar_t folder[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, folder);
  struct Probe {
    HWND dialog = nullptr;
    bool proposed = false;
    static BOOL CALLBACK FindDialog(HWND window, LPARAM self) {
      wchar_t name[16] = {};
      ::GetClassNameW(window, name, 16);
      if (std::wstring(name) == L"#32770" && ::IsWindowVisible(window) && !::GetPropW(window, L"Tarvolm.DialogWindow")) {
        reinterpret_cast<Probe*>(self)->dialog = window;
      }
      return TRUE;
    }
    static BOOL CALLBACK FindName(HWND window, LPARAM self) {
      if (WindowText(window) == u"proposed.txt") reinterpret_cast<Probe*>(self)->proposed = true;
      return TRUE;
    }
  } probe;
  bool ownerDisabled = false;
  // The item dialog runs its own loop; another thread looks at it and cancels it.
  std::thread watcher([&, thread = ::GetCurrentThreadId()] {
    for (int i = 0; i < 200 && !probe.dialog; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      ::EnumThreadWindows(thread, Probe::FindDialog, reinterpret_cast<LPARAM>(&probe));
    }
    if (!probe.dialog) return;
    ::EnumChildWindows(probe.dialog, Probe::FindName, reinterpret_cast<LPARAM>(&probe));
    ownerDisabled = !::IsWindowEnabled(Hwnd(dialog));
    ::PostMessageW(probe.dialog, WM_COMMAND, IDCANCEL, 0);
  });
  FileDialogRequest request;
  request.initialPath = std::u16string(reinterpret_cast<const char16_t*>(folder)) + u"proposed.txt";
  request.filter = u"Text Files(*.txt)|*.txt||";
  request.defaultExtension = u"txt";
  request.save = true;
  const auto answer = dialog.ShowFileDialog(request);
  watcher.join();
  ::CoUninitialize();
  ASSERT_NE(probe.dialog, nullptr);
  EXPECT_TRUE(probe.proposed);
  EXPECT_TRUE(ownerDisabled);
  EXPECT_FALSE(answer.has_value());
  EXPECT_TRUE(::IsWindowEnabled(Hwnd(dialog)));
}

TEST(Win32DialogResources, AMissingTemplateMakesNoWindow) {
  Win32Toolkit toolkit(::GetModuleHandleW(nullptr));
  static constexpr DialogTemplate kMissing{4242, u"none", 10, 10, WS_POPUP, 0, u"MS Shell Dlg", 8, {}, {}};
  RecordingDialog missing(kMissing);
  EXPECT_EQ(missing.DoModal(), -1);
  EXPECT_FALSE(missing.HasWindow());
}

TEST(FileFilterTest, SplitsNamesAndPatternsUpToTheEmptyEntry) {
  const auto filters = ParseFileFilter(u"Text Files(*.txt)|*.txt|Logs|*.log;*.txt||ignored|*.x");
  ASSERT_EQ(filters.size(), 2U);
  EXPECT_EQ(filters[0].name, L"Text Files(*.txt)");
  EXPECT_EQ(filters[0].patterns, L"*.txt");
  EXPECT_EQ(filters[1].patterns, L"*.log;*.txt");
  EXPECT_TRUE(ParseFileFilter(u"").empty());
  EXPECT_TRUE(ParseFileFilter(u"Only a name").empty());
}

}  // namespace
