#pragma once

#include <map>
#include <memory>
#include <set>

#include "platform/dialog.h"
#include "platform/dialog_window.h"
#include "platform/win32/receive_box_win32.h"
#include "platform/ui_task_queue.h"
#include "platform/win32/waker_win32.h"
#include "platform/ui_toolkit.h"
#include "platform/win32/win32_api.h"

struct ControlTemplate;

// The native Windows backend: dialogs are created from the program's dialog resources.
class Win32Toolkit : public UiToolkit {
 public:
  explicit Win32Toolkit(HINSTANCE instance);  // installs itself as the current toolkit
  ~Win32Toolkit() override;
  Win32Toolkit(const Win32Toolkit&) = delete;
  Win32Toolkit& operator=(const Win32Toolkit&) = delete;

  // Null when the dialog resource is missing or the window cannot be made.
  std::unique_ptr<DialogWindow> CreateDialogWindow(CDialogEx& owner, const DialogTemplate& tpl,
                                                   CDialogEx* parent) override;

 private:
  HINSTANCE m_instance;
};

// One dialog window: a modeless Win32 dialog whose notifications, timers, dropped files and
// close box reach the owner as its messages. Every key for the dialog or its controls goes
// through the owner's PreTranslateMessage first; of the dialog manager's keys only Tab is
// the window's. The window is created hidden and shown once the owner's OnInitDialog has set
// it up: by the modal run, or by the message loop when the template asks for a visible window.
class Win32DialogWindow : public DialogWindow {
 public:
  Win32DialogWindow(HINSTANCE instance, CDialogEx& owner, const DialogTemplate& tpl, HWND parent);
  ~Win32DialogWindow() override;
  Win32DialogWindow(const Win32DialogWindow&) = delete;
  Win32DialogWindow& operator=(const Win32DialogWindow&) = delete;

  HWND Handle() const { return m_hwnd; }
  HWND Control(int id) const;  // null for an unknown id or a window that is gone

  std::u16string GetText(int id) const override;
  void SetText(int id, std::u16string_view text) override;
  UINT GetCheck(int id) const override;
  void SetCheck(int id, UINT state) override;
  bool IsEnabled(int id) const override;
  void Enable(int id, bool enable) override;
  bool IsVisible(int id) const override;
  void Show(int id, bool show) override;
  int GetFocusId() const override;
  void SetFocusId(int id) override;
  void ComboResetContent(int id) override;
  int ComboAddString(int id, std::u16string_view text) override;
  int ComboGetCount(int id) const override;
  std::u16string ComboGetItem(int id, int index) const override;
  int ComboGetCurSel(int id) const override;
  void ComboSetCurSel(int id, int index) override;
  void SpinSetRange(int id, int lower, int upper) override;
  void ListResetContent(int id) override;
  int ListAddString(int id, std::u16string_view text) override;
  int ListGetCount(int id) const override;
  std::u16string ListGetItem(int id, int index) const override;
  int ListGetCurSel(int id) const override;
  void ListSetCurSel(int id, int index) override;
  void EditGetSel(int id, int& start, int& end) const override;
  void EditSetSel(int id, int start, int end) override;
  void EditScrollCaret(int id) override;
  int EditGetLineCount(int id) const override;
  int GetTextLength(int id) const override;
  void EditAttachText(int id, const std::u16string* text) override;
  void EditTextChanged(int id, std::size_t firstChange) override;
  void EditAttachMarks(int, const std::vector<TextSpan>*) override {}  // an EDIT has one colour
  int EditTextAreaWidth(int id) const override;
  std::function<int(char16_t)> EditCharWidth(int id) const override;
  bool IsKeyDown(int virtualKey) const override;
  void SetTimer(UINT_PTR timerId, UINT elapseMs) override;
  void KillTimer(UINT_PTR timerId) override;
  int MessageBox(std::u16string_view text, std::u16string_view caption, UINT type) override;
  std::optional<FileDialogResult> ShowFileDialog(const FileDialogRequest& request) override;
  INT_PTR RunModal() override;
  void EndDialog(INT_PTR result) override;
  void PostTask(std::function<void()> task) override;
  std::unique_ptr<platform::Waker> CreateWaker(std::function<void()> handler) override;

  // The message loop's pre-translation: gives a key aimed at one of our dialogs to its owner
  // first. True when the message has been handled and must not be dispatched.
  static bool PreTranslate(MSG& msg);

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool TranslateKey(MSG& msg);
  void OnCommand(UINT code, int id, HWND control);
  void OnDropFiles(WPARAM drop);
  bool PaintIcon();
  void ShowFirstTime();
  // The combos' initial lists: the dialog manager leaves them to the program.
  void FillInitialLists(HINSTANCE instance);
  void Destroy();

  const ControlTemplate* Find(int id) const;
  ReceiveBox* BoxOf(int id) const;
  // Notifications reach the owner only once it holds this window and until the window goes.
  bool Live() const { return m_created && m_hwnd && !m_closing; }

  CDialogEx& m_owner;
  const DialogTemplate& m_template;
  HWND m_hwnd = nullptr;
  HWND m_parent = nullptr;
  HICON m_icon = nullptr;       // shared, not destroyed
  HICON m_smallIcon = nullptr;
  std::shared_ptr<WindowWakers> m_wakers;
  std::unique_ptr<platform::UiTaskQueue> m_tasks;
  std::map<int, std::unique_ptr<ReceiveBox>> m_boxes;
  std::set<UINT_PTR> m_timers;
  bool m_created = false;
  bool m_shown = false;
  bool m_modal = false;
  bool m_ended = false;
  bool m_closing = false;
  INT_PTR m_result = 0;
};
