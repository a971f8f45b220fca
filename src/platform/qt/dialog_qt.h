#pragma once

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <map>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/dialog.h"
#include "platform/dialog_window.h"
#include "platform/ui_task_queue.h"
#include "platform/ui_toolkit.h"

class QKeyEvent;
class QDropEvent;
class QTimer;
class QWidget;
class ListBoxWidget;
struct ControlTemplate;

// The desktop program's backend: dialogs are Qt widgets built from the templates. A
// QApplication must exist before the toolkit is made.
class QtToolkit : public UiToolkit {
 public:
  QtToolkit();  // installs itself as the current toolkit
  ~QtToolkit() override;
  QtToolkit(const QtToolkit&) = delete;
  QtToolkit& operator=(const QtToolkit&) = delete;

  std::unique_ptr<DialogWindow> CreateDialogWindow(CDialogEx& owner, const DialogTemplate& tpl,
                                                   CDialogEx* parent) override;
};

// One dialog window: a QDialog with one widget per template control. Every key goes through
// the owner's PreTranslateMessage before a control sees it; control notifications, timers,
// dropped files and the close box reach the owner as its messages.
class QtDialogWindow : public QObject, public DialogWindow {
  Q_OBJECT

 public:
  QtDialogWindow(CDialogEx& owner, const DialogTemplate& tpl, QWidget* parent);
  ~QtDialogWindow() override;

  QDialog* Widget() const { return m_dialog; }
  QWidget* ControlWidget(int id) const;  // null for an unknown id

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
  void EditAttachMarks(int id, const std::vector<TextSpan>* marks) override;
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

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Control {
    const ControlTemplate* tpl;
    QWidget* widget;
    std::vector<QWidget*> named;  // widgets whose accessible name is this control's caption
  };

  void CreateControls(const DialogTemplate& tpl);
  QWidget* CreateControl(const ControlTemplate& ct, QWidget* previous);
  void ConnectNotifications(const Control& control);
  void SetTabOrderAndFocus();
  void NameControls();
  void UpdateNames(const Control& control, const QString& caption);

  const Control* Find(int id) const;
  ListBoxWidget* ListBox(int id) const;
  std::u16string TextOf(const Control& control) const;
  bool FilterKey(QObject* watched, QKeyEvent* event);
  bool FilterDrop(QEvent* event);
  void Notify(UINT code, int id);

  CDialogEx& m_owner;
  QPointer<QDialog> m_dialog;
  std::vector<Control> m_controls;            // template order
  std::unordered_map<int, std::size_t> m_byId;
  std::unordered_map<const QObject*, int> m_idOfWidget;
  std::map<UINT_PTR, QTimer*> m_timers;
  std::unique_ptr<platform::UiTaskQueue> m_tasks;
  bool m_acceptsFiles = false;
  bool m_closing = false;
  bool m_ended = false;
  INT_PTR m_result = 0;
  bool m_redelivering = false;
  bool m_programSetsCheck = false;  // a check mark the program sets is no click
  // The modifiers of the key being pre-translated, which IsKeyDown reports while it runs.
  std::optional<Qt::KeyboardModifiers> m_keyModifiers;
};
