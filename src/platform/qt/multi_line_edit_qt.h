#pragma once

#include <QPlainTextEdit>
#include <QTimer>
#include <cstddef>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/qt/receive_display_qt.h"

// A multi-line edit as the program sees one: text with "\r\n" line breaks, and positions in
// UTF-16 units of that text. Enter, with or without Ctrl or Shift, starts a new line; Tab
// moves the focus.
//
// Attached to a program-owned string (the receive box), it shows that string and catches up
// with its changes at most once per frame; reading or copying its text gives the string
// exactly. The user may still edit it: the text then reads from the box, until the next
// change of the string shows the whole string again.
class MultiLineEditWidget : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit MultiLineEditWidget(QWidget* parent);

  std::u16string Text() const;
  void SetText(std::u16string_view text);  // raises no signal
  int TextLength() const;
  void GetSel(int& start, int& end) const;
  void SetSel(int start, int end);  // end -1: to the end; start -1: no selection
  void ScrollCaret();
  int LineCount() const;  // display lines, wrapped lines counted one by one
  int TextAreaWidth() const;
  std::function<int(char16_t)> CharWidth() const;

  void Attach(const std::u16string* text);
  void TextChanged(std::size_t firstChange);
  void AttachMarks(const std::vector<TextSpan>* marks) { m_display.SetMarks(marks); }
  // The box has not caught up with the attached text yet.
  bool RefreshPending() const { return m_refreshTimer.isActive(); }

  static constexpr int kRefreshMs = 16;
  static constexpr std::size_t kCharactersPerPortion = 32 * 1024;
  static constexpr qint64 kRefreshBudgetMs = 6;

 signals:
  void userChanged();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  QMimeData* createMimeDataFromSelection() const override;

 private:
  static constexpr std::size_t kNoChange = std::numeric_limits<std::size_t>::max();

  bool ShowsAttachedText() const { return m_attached && !m_modified; }
  void Refresh();
  // The document's text from..to in the program's form.
  std::u16string DocumentText(int from, int to) const;
  int ToDocument(int position) const;
  int ToProgram(int documentPosition) const;

  const std::u16string* m_attached = nullptr;
  ReceiveDisplay m_display;
  QTimer m_refreshTimer;
  std::size_t m_firstChange = kNoChange;
  bool m_modified = false;      // the user edited the attached box since it was last refreshed
  bool m_programEdit = false;   // the document is being changed by the program
  std::optional<std::pair<int, int>> m_pendingSelection;
  bool m_pendingScroll = false;
};
