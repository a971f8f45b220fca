#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dialog_window.h"
#include "platform/window_messages.h"

class CDialogEx;
struct DialogTemplate;

// One row of a static message map: a window message, or a control notification
// (message WM_COMMAND with the notification code and the control id), and its handler.
struct MessageMapEntry {
  UINT message;
  UINT code;
  int controlId;
  std::function<LRESULT(CDialogEx&, WPARAM, LPARAM)> handler;
};
using MessageMap = std::vector<MessageMapEntry>;

// Rows whose handler is any callable that takes the dialog: for notifications the dialog
// only passes on to one of its parts.
template <class Dialog, class Handler>
MessageMapEntry OnNotifyCall(UINT code, int controlId, Handler handler) {
  return {WM_COMMAND, code, controlId, [handler](CDialogEx& d, WPARAM, LPARAM) -> LRESULT {
            handler(static_cast<Dialog&>(d));
            return 0;
          }};
}
template <class Dialog, class Handler>
MessageMapEntry OnTimerCall(Handler handler) {
  return {WM_TIMER, 0, 0, [handler](CDialogEx& d, WPARAM w, LPARAM) -> LRESULT {
            handler(static_cast<Dialog&>(d), static_cast<UINT_PTR>(w));
            return 0;
          }};
}
template <class Dialog, class Handler>
MessageMapEntry OnDropFilesCall(Handler handler) {
  return {WM_DROPFILES, 0, 0, [handler](CDialogEx& d, WPARAM w, LPARAM) -> LRESULT {
            handler(static_cast<Dialog&>(d), *reinterpret_cast<const DroppedFiles*>(w));
            return 0;
          }};
}

// Rows whose handler is a member function of the dialog.
template <class Dialog>
MessageMapEntry OnNotify(UINT code, int controlId, void (Dialog::*handler)()) {
  return OnNotifyCall<Dialog>(code, controlId, [handler](Dialog& d) { (d.*handler)(); });
}
template <class Dialog>
MessageMapEntry OnMessage(UINT message, LRESULT (Dialog::*handler)(WPARAM, LPARAM)) {
  return {message, 0, 0, [handler](CDialogEx& d, WPARAM w, LPARAM l) -> LRESULT {
            return (static_cast<Dialog&>(d).*handler)(w, l);
          }};
}
template <class Dialog>
MessageMapEntry OnMessage(UINT message, void (Dialog::*handler)()) {
  return {message, 0, 0, [handler](CDialogEx& d, WPARAM, LPARAM) -> LRESULT {
            (static_cast<Dialog&>(d).*handler)();
            return 0;
          }};
}
template <class Dialog>
MessageMapEntry OnTimerMessage(void (Dialog::*handler)(UINT_PTR)) {
  return OnTimerCall<Dialog>([handler](Dialog& d, UINT_PTR id) { (d.*handler)(id); });
}
template <class Dialog>
MessageMapEntry OnDropFilesMessage(void (Dialog::*handler)(const DroppedFiles&)) {
  return OnDropFilesCall<Dialog>([handler](Dialog& d, const DroppedFiles& files) { (d.*handler)(files); });
}

// Moves values between members and controls, in the direction UpdateData asks for.
class DataExchange {
 public:
  DataExchange(CDialogEx& dialog, bool saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_dialog(dialog) {}
  void Text(int controlId, std::u16string& value);
  void Check(int controlId, int& value);
  const bool m_bSaveAndValidate;

 private:
  CDialogEx& m_dialog;
};

// Our dialog class: a window built from a template, a static message map, control access by
// id, timers, message boxes and file dialogs. Everything here runs on the UI thread; workers
// reach it through the window's PostTask and wakers.
class CDialogEx {
 public:
  CDialogEx(const DialogTemplate& tpl, CDialogEx* parent = nullptr);
  virtual ~CDialogEx();
  CDialogEx(const CDialogEx&) = delete;
  CDialogEx& operator=(const CDialogEx&) = delete;

  // Modal run: creates the window, runs OnInitDialog, loops until EndDialog, destroys the window.
  INT_PTR DoModal();
  // Creates the window and runs OnInitDialog without a modal loop (the program's own loop or a
  // test drives it); the window lives until EndDialog or destruction.
  bool Create();
  void EndDialog(INT_PTR result);
  bool HasWindow() const { return m_window != nullptr; }
  DialogWindow* Window() const { return m_window.get(); }
  const DialogTemplate& Template() const { return m_template; }

  virtual BOOL OnInitDialog();
  virtual void DoDataExchange(DataExchange&) {}
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
  // Keys pass through here before they reach the focused control; true swallows the key.
  // The message may be rewritten in place. The base runs the dialog keys (HandleDialogKey).
  virtual BOOL PreTranslateMessage(KeyMessage& msg);
  virtual const MessageMap& GetMessageMap() const;

  // Runs the handler of a window message on this thread.
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  // Runs the handler of a control notification; false when the map has none.
  bool SendNotify(UINT code, int controlId);

  std::u16string GetDlgItemText(int id) const;
  void SetDlgItemText(int id, std::u16string_view text);
  int GetDlgItemInt(int id, BOOL* translated = nullptr) const;
  std::u16string GetWindowText() const;
  void SetWindowText(std::u16string_view text);
  UINT IsDlgButtonChecked(int id) const;
  void CheckDlgButton(int id, UINT state);
  bool IsItemEnabled(int id) const;
  void EnableItem(int id, bool enable);
  bool IsItemVisible(int id) const;
  void ShowItem(int id, bool show);
  int GetFocusId() const;
  void SetFocusId(int id);
  bool IsKeyDown(int virtualKey) const;

  void ComboResetContent(int id);
  int ComboAddString(int id, std::u16string_view text);
  int ComboGetCount(int id) const;
  std::u16string ComboGetItem(int id, int index) const;
  int ComboGetCurSel(int id) const;
  void ComboSetCurSel(int id, int index);
  // Selects the first item that begins with `text` (no case), searching after `startAfter`
  // and wrapping; returns its index or CB_ERR.
  int ComboSelectString(int id, int startAfter, std::u16string_view text);
  void SpinSetRange(int id, int lower, int upper);

  void ListResetContent(int id);
  int ListAddString(int id, std::u16string_view text);
  int ListGetCount(int id) const;
  std::u16string ListGetItem(int id, int index) const;
  int ListGetCurSel(int id) const;
  void ListSetCurSel(int id, int index);

  void EditGetSel(int id, int& start, int& end) const;
  void EditSetSel(int id, int start, int end);
  void EditScrollCaret(int id);
  int EditGetLineCount(int id) const;
  int GetWindowTextLength(int id) const;

  void SetTimer(UINT_PTR timerId, UINT elapseMs);
  void KillTimer(UINT_PTR timerId);

  // Without a caption the box carries the application title, as application message boxes do.
  int MessageBox(std::u16string_view text, std::u16string_view caption = {}, UINT type = MB_OK);
  std::optional<FileDialogResult> ShowFileDialog(const FileDialogRequest& request);

 protected:
  // The dialog manager's keys: Enter presses the focused or default button (an edit that
  // wants Enter keeps it), Esc presses Cancel. Tab is left to the window.
  BOOL HandleDialogKey(const KeyMessage& msg);
  // What the close box does when the message map leaves WM_CLOSE to the framework.
  void DefaultClose();
  // Called on the UI thread for a control notification that the message map has no entry for.
  virtual void OnUnmappedNotify(UINT, int) {}

 private:
  const MessageMapEntry* Find(UINT message, UINT code, int controlId) const;

  const DialogTemplate& m_template;
  CDialogEx* m_parent;
  std::unique_ptr<DialogWindow> m_window;
};
