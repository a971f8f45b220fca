#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/waker.h"
#include "platform/window_messages.h"

struct DialogTemplate;

// What the open/save dialogs are asked and what they answer.
struct FileDialogRequest {
  bool save = false;
  std::u16string initialPath;       // folder, or folder + separator + proposed name
  std::u16string filter;            // "Text Files(*.txt)|*.txt||"
  std::u16string defaultExtension;  // "txt" or empty
  bool fileMustExist = false;
  int fileType = 0;  // the entry of `filter` shown first, from 0
};
// A part of a text, [begin, end) in UTF-16 units.
struct TextSpan {
  std::size_t begin;
  std::size_t end;
};
struct FileDialogResult {
  std::u16string path;      // full path of the chosen file
  std::u16string fileName;  // its last component
  int fileType = 0;         // the entry of the request's filter chosen, from 0
};

// Files dropped on a window, in the drop's order (the stand-in for a drop handle).
struct DroppedFiles {
  std::vector<std::u16string> paths;
};

// One dialog window of a backend. Positions and lengths of edit text are in UTF-16 units of
// the text as the program sees it: line breaks of multi-line edits read as "\r\n".
// Called on the UI thread only, unless marked otherwise.
class DialogWindow {
 public:
  virtual ~DialogWindow() = default;

  virtual std::u16string GetText(int id) const = 0;  // id 0: the window title
  virtual void SetText(int id, std::u16string_view text) = 0;
  virtual UINT GetCheck(int id) const = 0;
  virtual void SetCheck(int id, UINT state) = 0;
  virtual bool IsEnabled(int id) const = 0;
  virtual void Enable(int id, bool enable) = 0;
  virtual bool IsVisible(int id) const = 0;
  virtual void Show(int id, bool show) = 0;
  virtual int GetFocusId() const = 0;
  virtual void SetFocusId(int id) = 0;

  virtual void ComboResetContent(int id) = 0;
  virtual int ComboAddString(int id, std::u16string_view text) = 0;
  virtual int ComboGetCount(int id) const = 0;
  virtual std::u16string ComboGetItem(int id, int index) const = 0;
  virtual int ComboGetCurSel(int id) const = 0;
  virtual void ComboSetCurSel(int id, int index) = 0;  // also puts the item into the edit field
  virtual void SpinSetRange(int id, int lower, int upper) = 0;

  // List boxes keep their items in the order added. The program's selection raises no
  // notification; the user's raises LBN_SELCHANGE, and a double click LBN_DBLCLK.
  virtual void ListResetContent(int id) = 0;
  virtual int ListAddString(int id, std::u16string_view text) = 0;
  virtual int ListGetCount(int id) const = 0;
  virtual std::u16string ListGetItem(int id, int index) const = 0;
  virtual int ListGetCurSel(int id) const = 0;  // LB_ERR when none is selected
  virtual void ListSetCurSel(int id, int index) = 0;  // LB_ERR (or out of range): none

  virtual void EditGetSel(int id, int& start, int& end) const = 0;
  virtual void EditSetSel(int id, int start, int end) = 0;  // end -1: to the end
  virtual void EditScrollCaret(int id) = 0;
  virtual int EditGetLineCount(int id) const = 0;
  virtual int GetTextLength(int id) const = 0;

  // A large read-mostly edit shows a string that the program owns (it outlives the window);
  // the program reports the lowest index that changed and the window catches up by itself,
  // at most once per frame. Reading the box's text gives that string exactly.
  virtual void EditAttachText(int id, const std::u16string* text) = 0;
  virtual void EditTextChanged(int id, std::size_t firstChange) = 0;
  // Parts of the attached text shown apart from the rest (sent lines among received ones),
  // sorted, outliving the window like the text, reported changed with it. The Win32 edit
  // cannot colour part of its text and shows them as the rest.
  virtual void EditAttachMarks(int id, const std::vector<TextSpan>* marks) = 0;
  // Width in pixels available for text in an edit, and the advance of one character in it,
  // for counting wrapped display lines.
  virtual int EditTextAreaWidth(int id) const = 0;
  virtual std::function<int(char16_t)> EditCharWidth(int id) const = 0;

  virtual bool IsKeyDown(int virtualKey) const = 0;

  virtual void SetTimer(UINT_PTR timerId, UINT elapseMs) = 0;
  virtual void KillTimer(UINT_PTR timerId) = 0;

  virtual int MessageBox(std::u16string_view text, std::u16string_view caption, UINT type) = 0;
  virtual std::optional<FileDialogResult> ShowFileDialog(const FileDialogRequest& request) = 0;

  // Runs the window modally until EndDialog; returns its result.
  virtual INT_PTR RunModal() = 0;
  virtual void EndDialog(INT_PTR result) = 0;

  // Thread-safe: run `task` on the UI thread soon. Never runs it after the window is gone.
  virtual void PostTask(std::function<void()> task) = 0;
  // A waker of the UI thread for a worker's own hand-over. It may outlive the window (it
  // then wakes nothing the window owned) but not the UI thread's event loop.
  virtual std::unique_ptr<platform::Waker> CreateWaker(std::function<void()> handler) = 0;
};
