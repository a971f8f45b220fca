#include "platform/win32/dialog_win32.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/win32/dialog_init_win32.h"
#include "platform/win32/file_dialog_win32.h"
#include "platform/win32/utf16_win32.h"
#include "platform/dialog_template.h"

namespace {
constexpr wchar_t kWindowProperty[] = L"Tarvolm.DialogWindow";
constexpr UINT kShowMessage = WM_APP + 0x72;  // OnInitDialog has run: show the window
// Timers of the window itself, far from the small ids the program uses.
constexpr UINT_PTR kReceiveBoxTimers = 0x7A010000;  // + control id
constexpr INT_PTR kIdCancel = 2;

void SetWindowText16(HWND window, std::u16string_view text) {
  if (window) ::SetWindowTextW(window, ToWide(text).c_str());
}

// Advances of the characters in one font, measured once each, for counting wrapped lines.
class CharWidths {
 public:
  explicit CharWidths(HFONT shown) : m_dc(::CreateCompatibleDC(nullptr)), m_widths(0x10000, -1) {
    LOGFONTW description{};
    if (!shown || ::GetObjectW(shown, sizeof description, &description) == 0) {
      ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof description, &description);
    }
    // A copy of our own: the dialog's font goes with the window, the counter may outlive it.
    m_font = ::CreateFontIndirectW(&description);
    m_previous = ::SelectObject(m_dc, m_font);
  }
  ~CharWidths() {
    ::SelectObject(m_dc, m_previous);
    ::DeleteObject(m_font);
    ::DeleteDC(m_dc);
  }
  CharWidths(const CharWidths&) = delete;
  CharWidths& operator=(const CharWidths&) = delete;

  int operator()(char16_t c) {
    short& width = m_widths[c];
    if (width < 0) width = static_cast<short>(Measure(c));
    return width;
  }

 private:
  int Measure(char16_t c) const {
    if (c == u'\r' || c == u'\n' || (c >= 0xDC00 && c <= 0xDFFF)) return 0;
    // The box shows U+0000 as the symbol for null; a pair of surrogates as one character,
    // counted on its first half.
    const UINT shown = c == 0 ? 0x2400 : (c >= 0xD800 && c <= 0xDBFF) ? 0xFFFD : c;
    INT width = 0;
    return ::GetCharWidth32W(m_dc, shown, shown, &width) ? width : 0;
  }

  HDC m_dc;
  HFONT m_font = nullptr;
  HGDIOBJ m_previous = nullptr;
  std::vector<short> m_widths;
};
}  // namespace

Win32Toolkit::Win32Toolkit(HINSTANCE instance) : m_instance(instance) { UiToolkit::Install(this); }

Win32Toolkit::~Win32Toolkit() { UiToolkit::Install(nullptr); }

std::unique_ptr<DialogWindow> Win32Toolkit::CreateDialogWindow(CDialogEx& owner, const DialogTemplate& tpl,
                                                               CDialogEx* parent) {
  HWND parentWindow = nullptr;
  if (parent) {
    if (auto* window = dynamic_cast<Win32DialogWindow*>(parent->Window())) parentWindow = window->Handle();
  }
  auto window = std::make_unique<Win32DialogWindow>(m_instance, owner, tpl, parentWindow);
  if (!window->Handle()) return nullptr;
  return window;
}

Win32DialogWindow::Win32DialogWindow(HINSTANCE instance, CDialogEx& owner, const DialogTemplate& tpl, HWND parent)
    : m_owner(owner), m_template(tpl), m_parent(parent) {
  const HRSRC found = ::FindResourceW(instance, MAKEINTRESOURCEW(tpl.id), RT_DIALOG);
  const HGLOBAL loaded = found ? ::LoadResource(instance, found) : nullptr;
  const void* data = loaded ? ::LockResource(loaded) : nullptr;
  const DWORD size = found ? ::SizeofResource(instance, found) : 0;
  if (!data || size < sizeof(DLGTEMPLATE)) return;
  // Created hidden, so the user never sees the captions change while OnInitDialog runs.
  std::vector<DWORD> copy((size + sizeof(DWORD) - 1) / sizeof(DWORD));
  std::memcpy(copy.data(), data, size);
  const bool extended = reinterpret_cast<const WORD*>(copy.data())[1] == 0xFFFF;
  copy[extended ? 3 : 0] &= ~static_cast<DWORD>(WS_VISIBLE);
  ::CreateDialogIndirectParamW(instance, reinterpret_cast<LPCDLGTEMPLATEW>(copy.data()), parent, DialogProc,
                               reinterpret_cast<LPARAM>(this));
  if (!m_hwnd) return;

  for (const ControlTemplate& control : tpl.controls) {
    // The big edits hold whatever is received or typed: no length limit.
    if (control.kind == ControlKind::MultiLineEdit) ::SendDlgItemMessageW(m_hwnd, control.id, EM_SETLIMITTEXT, 0, 0);
  }
  FillInitialLists(instance);
  if (!parent) {
    m_icon = ::LoadIconW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
    m_smallIcon = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                                  ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0));
    ::SendMessageW(m_hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
    ::SendMessageW(m_hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon ? m_smallIcon : m_icon));
  }
  m_wakers = std::make_shared<WindowWakers>(m_hwnd);
  m_tasks = std::make_unique<platform::UiTaskQueue>(
      [wakers = m_wakers](std::function<void()> handler) { return wakers->Create(std::move(handler)); });
  if (tpl.style & WS_VISIBLE) ::PostMessageW(m_hwnd, kShowMessage, 0, 0);
  m_created = true;
}

Win32DialogWindow::~Win32DialogWindow() {
  Destroy();
  if (m_smallIcon) ::DestroyIcon(m_smallIcon);
}

void Win32DialogWindow::FillInitialLists(HINSTANCE instance) {
  for (const DialogInitList& list : LoadDialogInit(instance, m_template.id)) {
    for (const std::u16string& item : list.items) ComboAddString(list.controlId, item);
  }
}

void Win32DialogWindow::Destroy() {
  m_closing = true;
  m_tasks.reset();
  if (m_wakers) m_wakers->Detach();
  m_boxes.clear();
  m_timers.clear();
  if (m_hwnd) ::DestroyWindow(m_hwnd);
}

INT_PTR CALLBACK Win32DialogWindow::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* window = reinterpret_cast<Win32DialogWindow*>(lParam);
    window->m_hwnd = hwnd;
    ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    ::SetPropW(hwnd, kWindowProperty, window);
    return TRUE;  // the dialog manager gives the focus to the first control with a tab stop
  }
  auto* window = reinterpret_cast<Win32DialogWindow*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
  if (!window) return FALSE;
  if (message == WM_NCDESTROY) {
    ::RemovePropW(hwnd, kWindowProperty);
    ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    window->m_hwnd = nullptr;
    return FALSE;
  }
  return window->HandleMessage(message, wParam, lParam);
}

INT_PTR Win32DialogWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      // Control notifications only; menu and accelerator commands carry no control.
      if (lParam) OnCommand(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam));
      return TRUE;
    case WM_TIMER:
      if (wParam >= WindowWakers::kFirstResumeTimer && wParam <= WindowWakers::kLastResumeTimer) {
        if (const auto wakers = m_wakers) wakers->DispatchTimer(wParam);
      } else if (wParam > kReceiveBoxTimers && wParam <= kReceiveBoxTimers + 0xFFFF) {
        if (ReceiveBox* box = BoxOf(static_cast<int>(wParam - kReceiveBoxTimers))) box->CatchUp();
      } else if (Live()) {
        m_owner.SendMessage(WM_TIMER, wParam, 0);
      }
      return TRUE;
    case WM_CLOSE:
      // The owner decides whether the window closes (it ends the dialog, or not).
      if (Live()) m_owner.SendMessage(WM_CLOSE);
      return TRUE;
    case WM_DROPFILES:
      OnDropFiles(wParam);
      return TRUE;
    case WM_PAINT:
      return PaintIcon() ? TRUE : FALSE;
    case WM_QUERYDRAGICON:
      return reinterpret_cast<INT_PTR>(m_icon);
    case WindowWakers::kWakeMessage:
      if (const auto wakers = m_wakers) wakers->Dispatch(wParam);
      return TRUE;
    case kShowMessage:
      ShowFirstTime();
      return TRUE;
    default:
      return FALSE;
  }
}

void Win32DialogWindow::OnCommand(UINT code, int id, HWND) {
  if (ReceiveBox* box = BoxOf(id); box && code == EN_CHANGE) {
    if (box->Updating()) return;
    box->UserChanged();
  }
  if (Live()) m_owner.SendNotify(code, id);
}

void Win32DialogWindow::OnDropFiles(WPARAM wParam) {
  const auto drop = reinterpret_cast<HDROP>(wParam);
  DroppedFiles files;
  const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    // Whole paths, however long: a cut path would name another file or none.
    std::wstring path(::DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
    path.resize(::DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
    if (!path.empty()) files.paths.push_back(ToU16(path));
  }
  // The paths are copied: the drop ends before the owner sends the files, which takes a while.
  ::DragFinish(drop);
  if (Live() && !files.paths.empty()) m_owner.SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(&files), 0);
}

bool Win32DialogWindow::PaintIcon() {
  if (!m_icon || !::IsIconic(m_hwnd)) return false;
  PAINTSTRUCT paint;
  const HDC dc = ::BeginPaint(m_hwnd, &paint);
  ::SendMessageW(m_hwnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client;
  ::GetClientRect(m_hwnd, &client);
  const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
  ::DrawIcon(dc, x, y, m_icon);
  ::EndPaint(m_hwnd, &paint);
  return true;
}

void Win32DialogWindow::ShowFirstTime() {
  if (m_shown || !m_hwnd) return;
  m_shown = true;
  // Centred on the owner, or on the work area of the screen, and never off the screen.
  RECT window;
  ::GetWindowRect(m_hwnd, &window);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  ::GetMonitorInfoW(::MonitorFromWindow(m_parent ? m_parent : m_hwnd, MONITOR_DEFAULTTONEAREST), &monitor);
  RECT area = monitor.rcWork;
  if (m_parent && ::IsWindowVisible(m_parent) && !::IsIconic(m_parent)) ::GetWindowRect(m_parent, &area);
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  int x = area.left + (area.right - area.left - width) / 2;
  int y = area.top + (area.bottom - area.top - height) / 2;
  x = std::max(std::min(x, static_cast<int>(monitor.rcWork.right) - width), static_cast<int>(monitor.rcWork.left));
  y = std::max(std::min(y, static_cast<int>(monitor.rcWork.bottom) - height), static_cast<int>(monitor.rcWork.top));
  ::SetWindowPos(m_hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ::ShowWindow(m_hwnd, SW_SHOWNORMAL);
  if (GetFocusId() == 0) {
    if (HWND first = ::GetNextDlgTabItem(m_hwnd, nullptr, FALSE)) {
      ::SendMessageW(m_hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
    }
  }
}

bool Win32DialogWindow::PreTranslate(MSG& msg) {
  if ((msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) || !msg.hwnd) return false;
  auto* window = static_cast<Win32DialogWindow*>(::GetPropW(::GetAncestor(msg.hwnd, GA_ROOT), kWindowProperty));
  return window && window->TranslateKey(msg);
}

bool Win32DialogWindow::TranslateKey(MSG& msg) {
  if (!Live()) return false;
  KeyMessage key{GetFocusId(), msg.message, msg.wParam, msg.lParam};
  if (m_owner.PreTranslateMessage(key)) return true;
  msg.message = key.message;
  msg.wParam = key.wParam;
  msg.lParam = key.lParam;
  // The owner's handling may have ended the window.
  if (!m_hwnd || !::IsWindow(msg.hwnd)) return true;
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && !IsKeyDown(VK_CONTROL)) {
    // The dialog manager's focus move, also out of the big edits, which would take the Tab.
    ::SendMessageW(m_hwnd, WM_NEXTDLGCTL, IsKeyDown(VK_SHIFT) ? 1 : 0, FALSE);
    return true;
  }
  return false;
}

const ControlTemplate* Win32DialogWindow::Find(int id) const {
  for (const ControlTemplate& control : m_template.controls) {
    if (control.id == id) return &control;
  }
  return nullptr;
}

HWND Win32DialogWindow::Control(int id) const { return m_hwnd && id != 0 ? ::GetDlgItem(m_hwnd, id) : nullptr; }

ReceiveBox* Win32DialogWindow::BoxOf(int id) const {
  const auto it = m_boxes.find(id);
  return it == m_boxes.end() ? nullptr : it->second.get();
}

std::u16string Win32DialogWindow::GetText(int id) const {
  if (id == 0) return WindowText(m_hwnd);
  if (const ReceiveBox* box = BoxOf(id)) return box->Text();
  return WindowText(Control(id));
}

void Win32DialogWindow::SetText(int id, std::u16string_view text) {
  if (id == 0) {
    SetWindowText16(m_hwnd, text);
    return;
  }
  const ControlTemplate* control = Find(id);
  const HWND item = Control(id);
  if (!control || !item) return;
  if (ReceiveBox* box = BoxOf(id)) {
    box->SetText(text);
  } else if (control->kind == ControlKind::DropDownList) {
    // A list without an edit field shows an item: the one with this text, if any.
    const LRESULT index = ::SendMessageW(item, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(ToWide(text).c_str()));
    if (index != CB_ERR) ::SendMessageW(item, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  } else {
    SetWindowText16(item, text);
  }
  // Single-line edits notify a new text themselves; multi-line ones do not, and the owner
  // relies on the notification for every edit.
  if (control->kind == ControlKind::MultiLineEdit) OnCommand(EN_CHANGE, id, item);
}

UINT Win32DialogWindow::GetCheck(int id) const { return m_hwnd ? ::IsDlgButtonChecked(m_hwnd, id) : BST_UNCHECKED; }

void Win32DialogWindow::SetCheck(int id, UINT state) {
  if (m_hwnd) ::CheckDlgButton(m_hwnd, id, state);
}

bool Win32DialogWindow::IsEnabled(int id) const {
  const HWND item = Control(id);
  return item && ::IsWindowEnabled(item);
}

void Win32DialogWindow::Enable(int id, bool enable) {
  if (const HWND item = Control(id)) ::EnableWindow(item, enable);
}

bool Win32DialogWindow::IsVisible(int id) const {
  // The control's own state, also while the dialog itself is still hidden.
  const HWND item = Control(id);
  return item && (::GetWindowLongW(item, GWL_STYLE) & WS_VISIBLE);
}

void Win32DialogWindow::Show(int id, bool show) {
  if (const HWND item = Control(id)) ::ShowWindow(item, show ? SW_SHOW : SW_HIDE);
}

int Win32DialogWindow::GetFocusId() const {
  if (!m_hwnd) return 0;
  // A combo's edit field has the focus for its combo.
  for (HWND window = ::GetFocus(); window && window != m_hwnd;) {
    const HWND parent = ::GetAncestor(window, GA_PARENT);
    if (parent == m_hwnd) return ::GetDlgCtrlID(window);
    window = parent;
  }
  return 0;
}

void Win32DialogWindow::SetFocusId(int id) {
  if (const HWND item = Control(id)) ::SendMessageW(m_hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
}

void Win32DialogWindow::ComboResetContent(int id) {
  const HWND combo = Control(id);
  if (!combo) return;
  ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  if (const ControlTemplate* control = Find(id); control && control->kind == ControlKind::ComboBox) {
    ::SetWindowTextW(combo, L"");
  }
}

int Win32DialogWindow::ComboAddString(int id, std::u16string_view text) {
  const HWND combo = Control(id);
  if (!combo) return CB_ERR;
  const LRESULT index = ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(text).c_str()));
  return index < 0 ? CB_ERR : static_cast<int>(index);
}

int Win32DialogWindow::ComboGetCount(int id) const {
  const HWND combo = Control(id);
  const LRESULT count = combo ? ::SendMessageW(combo, CB_GETCOUNT, 0, 0) : 0;
  return count < 0 ? 0 : static_cast<int>(count);
}

std::u16string Win32DialogWindow::ComboGetItem(int id, int index) const {
  const HWND combo = Control(id);
  if (!combo || index < 0) return {};
  const LRESULT length = ::SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length < 0) return {};
  std::wstring item(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT copied =
      ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item.data()));
  item.resize(copied < 0 ? 0 : static_cast<std::size_t>(copied));
  return ToU16(item);
}

int Win32DialogWindow::ComboGetCurSel(int id) const {
  const HWND combo = Control(id);
  const LRESULT index = combo ? ::SendMessageW(combo, CB_GETCURSEL, 0, 0) : CB_ERR;
  return index < 0 ? CB_ERR : static_cast<int>(index);
}

void Win32DialogWindow::ComboSetCurSel(int id, int index) {
  const HWND combo = Control(id);
  if (!combo) return;
  const bool valid = index >= 0 && index < ComboGetCount(id);
  ::SendMessageW(combo, CB_SETCURSEL, valid ? static_cast<WPARAM>(index) : static_cast<WPARAM>(-1), 0);
}

void Win32DialogWindow::SpinSetRange(int id, int lower, int upper) {
  if (const HWND spin = Control(id)) ::SendMessageW(spin, UDM_SETRANGE32, static_cast<WPARAM>(lower), upper);
}

void Win32DialogWindow::ListResetContent(int id) {
  if (const HWND list = Control(id)) ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
}

int Win32DialogWindow::ListAddString(int id, std::u16string_view text) {
  const HWND list = Control(id);
  if (!list) return LB_ERR;
  const LRESULT index = ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(text).c_str()));
  return index < 0 ? LB_ERR : static_cast<int>(index);
}

int Win32DialogWindow::ListGetCount(int id) const {
  const HWND list = Control(id);
  const LRESULT count = list ? ::SendMessageW(list, LB_GETCOUNT, 0, 0) : 0;
  return count < 0 ? 0 : static_cast<int>(count);
}

std::u16string Win32DialogWindow::ListGetItem(int id, int index) const {
  const HWND list = Control(id);
  if (!list || index < 0) return {};
  const LRESULT length = ::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length < 0) return {};
  std::wstring item(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT copied =
      ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item.data()));
  item.resize(copied < 0 ? 0 : static_cast<std::size_t>(copied));
  return ToU16(item);
}

int Win32DialogWindow::ListGetCurSel(int id) const {
  const HWND list = Control(id);
  const LRESULT index = list ? ::SendMessageW(list, LB_GETCURSEL, 0, 0) : LB_ERR;
  return index < 0 ? LB_ERR : static_cast<int>(index);
}

void Win32DialogWindow::ListSetCurSel(int id, int index) {
  const HWND list = Control(id);
  if (!list) return;
  const bool valid = index >= 0 && index < ListGetCount(id);
  ::SendMessageW(list, LB_SETCURSEL, valid ? static_cast<WPARAM>(index) : static_cast<WPARAM>(-1), 0);
}

void Win32DialogWindow::EditGetSel(int id, int& start, int& end) const {
  start = end = 0;
  if (const ReceiveBox* box = BoxOf(id)) {
    box->GetSel(start, end);
    return;
  }
  const HWND edit = Control(id);
  if (!edit) return;
  DWORD from = 0;
  DWORD to = 0;
  ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  start = static_cast<int>(from);
  end = static_cast<int>(to);
}

void Win32DialogWindow::EditSetSel(int id, int start, int end) {
  if (ReceiveBox* box = BoxOf(id)) {
    box->SetSel(start, end);
  } else if (const HWND edit = Control(id)) {
    ::SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(start), end);
  }
}

void Win32DialogWindow::EditScrollCaret(int id) {
  if (ReceiveBox* box = BoxOf(id)) {
    box->ScrollCaret();
  } else if (const HWND edit = Control(id)) {
    ::SendMessageW(edit, EM_SCROLLCARET, 0, 0);
  }
}

int Win32DialogWindow::EditGetLineCount(int id) const {
  // The box's own count, so it must have caught up.
  if (ReceiveBox* box = BoxOf(id)) box->CatchUp();
  const HWND edit = Control(id);
  return edit ? static_cast<int>(::SendMessageW(edit, EM_GETLINECOUNT, 0, 0)) : 1;
}

int Win32DialogWindow::GetTextLength(int id) const {
  if (id == 0) return m_hwnd ? ::GetWindowTextLengthW(m_hwnd) : 0;
  if (const ReceiveBox* box = BoxOf(id)) return box->Length();
  const HWND item = Control(id);
  return item ? ::GetWindowTextLengthW(item) : 0;
}

void Win32DialogWindow::EditAttachText(int id, const std::u16string* text) {
  m_boxes.erase(id);
  const HWND edit = Control(id);
  if (text && edit) m_boxes[id] = std::make_unique<ReceiveBox>(edit, m_hwnd, kReceiveBoxTimers + id, *text);
}

void Win32DialogWindow::EditTextChanged(int id, std::size_t firstChange) {
  if (ReceiveBox* box = BoxOf(id)) box->TextChanged(firstChange);
}

int Win32DialogWindow::EditTextAreaWidth(int id) const {
  const HWND edit = Control(id);
  if (!edit) return 0;
  RECT area{};
  ::SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
  return std::max(0, static_cast<int>(area.right - area.left));
}

std::function<int(char16_t)> Win32DialogWindow::EditCharWidth(int id) const {
  const HWND item = Control(id);
  const HWND source = item ? item : m_hwnd;
  auto widths = std::make_shared<CharWidths>(
      source ? reinterpret_cast<HFONT>(::SendMessageW(source, WM_GETFONT, 0, 0)) : nullptr);
  return [widths](char16_t c) { return (*widths)(c); };
}

bool Win32DialogWindow::IsKeyDown(int virtualKey) const { return ::GetKeyState(virtualKey) < 0; }

void Win32DialogWindow::SetTimer(UINT_PTR timerId, UINT elapseMs) {
  if (!m_hwnd) return;
  if (::SetTimer(m_hwnd, timerId, std::max<UINT>(elapseMs, USER_TIMER_MINIMUM), nullptr)) m_timers.insert(timerId);
}

void Win32DialogWindow::KillTimer(UINT_PTR timerId) {
  if (m_hwnd) ::KillTimer(m_hwnd, timerId);
  m_timers.erase(timerId);
}

int Win32DialogWindow::MessageBox(std::u16string_view text, std::u16string_view caption, UINT type) {
  return ::MessageBoxW(m_hwnd, ToWide(text).c_str(), ToWide(caption).c_str(), type);
}

std::optional<FileDialogResult> Win32DialogWindow::ShowFileDialog(const FileDialogRequest& request) {
  return RunFileDialog(m_hwnd, request);
}

INT_PTR Win32DialogWindow::RunModal() {
  if (m_ended || !m_hwnd) return m_result;
  ShowFirstTime();
  const bool disableParent = m_parent && ::IsWindowEnabled(m_parent);
  if (disableParent) ::EnableWindow(m_parent, FALSE);
  m_modal = true;
  MSG msg;
  while (!m_ended && m_hwnd) {
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      // The quit belongs to whatever loop is outside this one.
      if (got == 0) ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (PreTranslate(msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  m_modal = false;
  if (!m_ended) {
    m_ended = true;
    m_result = kIdCancel;
  }
  // The owner first, so that it is the window activated when this one goes.
  if (disableParent) ::EnableWindow(m_parent, TRUE);
  Destroy();
  return m_result;
}

void Win32DialogWindow::EndDialog(INT_PTR result) {
  m_ended = true;
  m_result = result;
  for (const UINT_PTR timerId : m_timers) {
    if (m_hwnd) ::KillTimer(m_hwnd, timerId);
  }
  m_timers.clear();
  // A modal run ends in its own loop; a window made without one goes now.
  if (!m_modal) Destroy();
}

std::unique_ptr<platform::Waker> Win32DialogWindow::CreateWaker(std::function<void()> handler) {
  // A window that failed to be made wakes nothing.
  if (!m_wakers) m_wakers = std::make_shared<WindowWakers>(nullptr);
  return m_wakers->Create(std::move(handler));
}

void Win32DialogWindow::PostTask(std::function<void()> task) {
  if (m_tasks) m_tasks->Post(std::move(task));
}
