#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialog.h"
#include "platform/ui_toolkit.h"

class HeadlessWindow;

// In-memory dialogs for the hub tests: controls are plain records built from the same
// templates as the real window; message boxes are recorded, file dialogs and modal runs are
// scripted, timers run on a manual clock, and tasks posted by worker threads wait in a queue
// until the test pumps them on its own (the UI) thread.
class HeadlessToolkit : public UiToolkit {
 public:
  struct RecordedMessageBox {
    std::u16string text;
    std::u16string caption;
  };
  using ModalScript = std::function<void(HeadlessWindow&)>;

  HeadlessToolkit();
  ~HeadlessToolkit() override;

  std::unique_ptr<DialogWindow> CreateDialogWindow(CDialogEx& owner, const DialogTemplate& tpl,
                                                   CDialogEx* parent) override;

  HeadlessWindow& WindowOf(const CDialogEx& dialog);

  // What the next modal run of a dialog with this template id does (click OK, type ...).
  void ScriptModal(int templateId, ModalScript script);
  // Answers of the next file dialogs, in order; nullopt means Cancel. With none queued: Cancel.
  void QueueFileDialogAnswer(std::optional<FileDialogResult> answer);
  std::vector<FileDialogRequest> fileDialogRequests;
  std::vector<RecordedMessageBox> messageBoxes;

  // Manual clock: fires due timers of every window in time order.
  void AdvanceClock(std::chrono::milliseconds duration);
  std::chrono::milliseconds Now() const { return m_now; }

  // Waits, running nothing, until a worker has posted a task; false when none came in time.
  bool WaitForPosted(std::chrono::milliseconds limit);
  // Runs the tasks posted so far (worker messages). Returns how many ran.
  int ProcessPosted();
  // Pumps posted tasks until `done` holds or the real-time limit passes; returns done().
  bool PumpUntil(const std::function<bool()>& done,
                 std::chrono::milliseconds limit = std::chrono::milliseconds(5000));
  // Thread-safe: a waker's wake, run by the next pump like a posted task.
  void PostWake(std::function<void()> wake);

 private:
  friend class HeadlessWindow;
  void Post(HeadlessWindow* window, std::function<void()> task);
  void Forget(HeadlessWindow* window);

  std::map<const CDialogEx*, HeadlessWindow*> m_windows;
  std::map<int, ModalScript> m_modalScripts;
  std::deque<std::optional<FileDialogResult>> m_fileAnswers;
  std::chrono::milliseconds m_now{0};

  std::mutex m_mutex;
  std::condition_variable m_posted;
  std::deque<std::pair<HeadlessWindow*, std::function<void()>>> m_tasks;
};

// One in-memory dialog window.
class HeadlessWindow : public DialogWindow {
 public:
  struct Control {
    int id = 0;
    int kind = 0;  // ControlKind
    bool togglesOnClick = false;
    std::u16string text;
    UINT check = BST_UNCHECKED;
    bool enabled = true;
    bool visible = true;
    std::vector<std::u16string> items;
    int curSel = CB_ERR;
    int selStart = 0;
    int selEnd = 0;
    int spinLower = 0;
    int spinUpper = 100;
    const std::u16string* attached = nullptr;
  };

  HeadlessWindow(HeadlessToolkit& toolkit, CDialogEx& owner, const DialogTemplate& tpl);
  ~HeadlessWindow() override;

  // --- what a user does ---
  // Clicks a button or check box (an automatic check box toggles first). Ignored when the
  // control is disabled or hidden, as a real click would be.
  void Click(int id);
  // Types text into an edit or combo edit field: replaces the selection and raises EN_CHANGE.
  void Type(int id, std::u16string_view text);
  // Replaces the whole text as a user would (select all, type): raises EN_CHANGE.
  void Replace(int id, std::u16string_view text);
  // Moves the focus (raises EN_KILLFOCUS / EN_SETFOCUS on edits).
  void Focus(int id);
  // A key press with the modifiers down; goes through PreTranslateMessage first, then to the
  // focused control (Enter in a multi-line edit inserts "\r\n").
  void PressKey(int virtualKey, bool ctrl = false, bool alt = false);
  // Selects a list item as a user would (raises CBN_SELCHANGE).
  void PickComboItem(int id, int index);
  void OpenDropDown(int id);  // raises CBN_DROPDOWN
  // Selects a list box item as a user would (raises LBN_SELCHANGE); a double click on it
  // selects it and raises LBN_DBLCLK too.
  void PickListItem(int id, int index);
  void DoubleClickListItem(int id, int index);
  void DropFiles(std::vector<std::u16string> paths);
  void CloseBox();  // the title bar's close button: WM_CLOSE

  const Control& Item(int id) const;
  bool Ended() const { return m_ended; }
  INT_PTR Result() const { return m_result; }
  bool TimerArmed(UINT_PTR timerId) const;
  UINT TimerPeriod(UINT_PTR timerId) const;

  // --- DialogWindow ---
  std::u16string GetText(int id) const override;
  void SetText(int id, std::u16string_view text) override;
  UINT GetCheck(int id) const override;
  void SetCheck(int id, UINT state) override;
  bool IsEnabled(int id) const override;
  void Enable(int id, bool enable) override;
  bool IsVisible(int id) const override;
  void Show(int id, bool show) override;
  int GetFocusId() const override { return m_focus; }
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
  void EditScrollCaret(int) override {}
  int EditGetLineCount(int id) const override;
  int GetTextLength(int id) const override;
  void EditAttachText(int id, const std::u16string* text) override;
  void EditTextChanged(int id, std::size_t firstChange) override;
  void EditAttachMarks(int, const std::vector<TextSpan>*) override {}
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

  // The headless edit is a fixed-pitch box of this many characters per display line.
  static constexpr int kCharsPerLine = 80;

 private:
  friend class HeadlessToolkit;
  Control& At(int id);
  const Control& At(int id) const;
  void FireDueTimers(std::chrono::milliseconds now);

  HeadlessToolkit& m_toolkit;
  CDialogEx& m_owner;
  const DialogTemplate& m_template;
  std::map<int, Control> m_controls;
  int m_focus = 0;
  bool m_ctrlDown = false;
  bool m_altDown = false;
  bool m_ended = false;
  INT_PTR m_result = 0;
  struct Timer {
    UINT period;
    std::chrono::milliseconds due;
  };
  std::map<UINT_PTR, Timer> m_timers;
};
