#include "platform/qt/multi_line_edit_qt.h"

#include <QElapsedTimer>

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <algorithm>
#include <memory>
#include <vector>

#include "platform/qt/utf16_qt.h"

namespace {

// Calls visit(documentPosition, units) for the document positions in [from, to), with the
// code units of the program's text that each one stands for; visit returns false to stop.
// A block break reads as "\r\n", except an extra break of the receive display, which stands
// for nothing; receiveForm also undoes the receive display's stand-ins for "\r" and U+0000.
template <class Visit>
void ForEachPosition(const QTextDocument& document, bool receiveForm, int from, int to, Visit&& visit) {
  static constexpr char16_t kBreak[] = u"\r\n";
  static constexpr char16_t kNull[] = {0};
  for (QTextBlock block = document.findBlock(std::max(from, 0)); block.isValid(); block = block.next()) {
    const int blockStart = block.position();
    if (blockStart >= to + 1) return;
    const int separator = blockStart - 1;
    if (separator >= from && separator < to) {
      const bool extra = receiveForm && block.userState() == ReceiveDisplay::kSoftBreakState;
      if (!visit(separator, extra ? std::u16string_view() : std::u16string_view(kBreak, 2))) return;
    }
    const QString text = block.text();
    for (int i = std::max(0, from - blockStart); i < text.size(); ++i) {
      const int position = blockStart + i;
      if (position >= to) return;
      const char16_t c = text[i].unicode();
      std::u16string_view units(reinterpret_cast<const char16_t*>(text.utf16()) + i, 1);
      if (c == ReceiveDisplay::kLineSeparator) {
        units = std::u16string_view(kBreak, 2);
      } else if (receiveForm && c == ReceiveDisplay::kSymbolForNull) {
        units = std::u16string_view(kNull, 1);
      } else if (receiveForm && c == ReceiveDisplay::kZeroWidthSpace) {
        units = {};
      }
      if (!visit(position, units)) return;
    }
  }
}

// What one code unit of the program's text takes on screen, as the receive display shows it.
int DisplayAdvance(const QFontMetrics& metrics, char16_t c) {
  if (c == u'\r' || c == u'\n' || (c >= 0xDC00 && c <= 0xDFFF)) return 0;
  if (c == 0) return metrics.horizontalAdvance(QChar(ReceiveDisplay::kSymbolForNull));
  if (c >= 0xD800 && c <= 0xDBFF) return metrics.horizontalAdvance(QChar(QChar::ReplacementCharacter));
  return metrics.horizontalAdvance(QChar(c));
}
}  // namespace

MultiLineEditWidget::MultiLineEditWidget(QWidget* parent) : QPlainTextEdit(parent) {
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setTabChangesFocus(true);
  m_refreshTimer.setSingleShot(true);
  m_refreshTimer.setInterval(kRefreshMs);
  connect(&m_refreshTimer, &QTimer::timeout, this, &MultiLineEditWidget::Refresh);
  connect(this, &QPlainTextEdit::textChanged, this, [this] {
    if (m_programEdit) return;
    if (m_attached) m_modified = true;
    emit userChanged();
  });
}

std::u16string MultiLineEditWidget::Text() const {
  if (ShowsAttachedText()) return *m_attached;
  return DocumentText(0, document()->characterCount() - 1);
}

void MultiLineEditWidget::SetText(std::u16string_view text) {
  m_programEdit = true;
  if (m_attached) {
    m_refreshTimer.stop();
    m_firstChange = kNoChange;
    m_pendingSelection.reset();
    m_pendingScroll = false;
    m_display.Reset();
    m_display.Update(*document(), text, 0);
    // Text other than the attached string reads back from the box until the string changes.
    m_modified = text != *m_attached;
    moveCursor(QTextCursor::Start);
  } else {
    setPlainText(ToQString(text));
  }
  m_programEdit = false;
}

int MultiLineEditWidget::TextLength() const {
  return static_cast<int>(ShowsAttachedText() ? m_attached->size() : Text().size());
}

void MultiLineEditWidget::GetSel(int& start, int& end) const {
  if (m_pendingSelection) {
    start = std::min(m_pendingSelection->first, m_pendingSelection->second);
    end = std::max(m_pendingSelection->first, m_pendingSelection->second);
    return;
  }
  const QTextCursor cursor = textCursor();
  start = ToProgram(cursor.selectionStart());
  end = ToProgram(cursor.selectionEnd());
}

void MultiLineEditWidget::SetSel(int start, int end) {
  QTextCursor cursor = textCursor();
  if (start < 0) {
    cursor.clearSelection();
    setTextCursor(cursor);
    return;
  }
  const int length = TextLength();
  const int anchor = std::clamp(start, 0, length);
  const int position = end < 0 ? length : std::clamp(end, 0, length);
  if (ShowsAttachedText() && RefreshPending()) {
    m_pendingSelection = {anchor, position};
    return;
  }
  cursor.setPosition(ToDocument(anchor));
  cursor.setPosition(ToDocument(position), QTextCursor::KeepAnchor);
  setTextCursor(cursor);
}

void MultiLineEditWidget::ScrollCaret() {
  if (ShowsAttachedText() && RefreshPending()) {
    m_pendingScroll = true;
    return;
  }
  ensureCursorVisible();
}

int MultiLineEditWidget::LineCount() const {
  auto* layout = qobject_cast<QPlainTextDocumentLayout*>(document()->documentLayout());
  int lines = 0;
  for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
    if (layout) layout->ensureBlockLayout(block);
    lines += std::max(1, block.layout()->lineCount());
  }
  return lines;
}

int MultiLineEditWidget::TextAreaWidth() const {
  // Computed from the frame, as the viewport is sized only when the box is first shown.
  const_cast<MultiLineEditWidget*>(this)->ensurePolished();
  int viewportWidth = contentsRect().width();
  if (verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn) viewportWidth -= verticalScrollBar()->sizeHint().width();
  return viewportWidth - 2 * static_cast<int>(document()->documentMargin());
}

std::function<int(char16_t)> MultiLineEditWidget::CharWidth() const {
  struct Cache {
    QFontMetrics metrics;
    std::vector<qint16> advances;
  };
  auto cache = std::make_shared<Cache>(Cache{QFontMetrics(document()->defaultFont()), std::vector<qint16>(0x10000, -1)});
  return [cache](char16_t c) -> int {
    qint16& advance = cache->advances[c];
    if (advance < 0) advance = static_cast<qint16>(DisplayAdvance(cache->metrics, c));
    return advance;
  };
}

void MultiLineEditWidget::Attach(const std::u16string* text) {
  m_attached = text;
  m_modified = false;
  m_display.Reset();
  m_pendingSelection.reset();
  m_pendingScroll = false;
  if (!text) {
    m_refreshTimer.stop();
    m_firstChange = kNoChange;
    return;
  }
  // The box holds what the receive text held, which can be a lot: no undo history.
  setUndoRedoEnabled(false);
  TextChanged(0);
}

void MultiLineEditWidget::TextChanged(std::size_t firstChange) {
  if (!m_attached) return;
  m_firstChange = std::min(m_firstChange, firstChange);
  if (!m_refreshTimer.isActive()) m_refreshTimer.start();
}

void MultiLineEditWidget::Refresh() {
  if (!m_attached) return;
  m_programEdit = true;
  if (m_modified) {
    // The user's edits are dropped: the box shows the string again from its start.
    m_display.Reset();
    m_firstChange = 0;
  }
  // A flood is shown in portions, as many as fit a few milliseconds, so one refresh never
  // holds the window up for long.
  QElapsedTimer spent;
  spent.start();
  do {
    m_display.Update(*document(), *m_attached, m_firstChange, kCharactersPerPortion);
    m_firstChange = m_display.ShownLength();
  } while (m_display.ShownLength() < m_attached->size() && spent.elapsed() < kRefreshBudgetMs);
  m_modified = false;
  m_firstChange = kNoChange;
  m_programEdit = false;
  if (m_display.ShownLength() < m_attached->size()) {
    m_firstChange = m_display.ShownLength();
    m_refreshTimer.start();
    return;
  }
  if (m_pendingSelection) {
    const auto [start, end] = *m_pendingSelection;
    m_pendingSelection.reset();
    SetSel(start, end);
  }
  if (m_pendingScroll) {
    m_pendingScroll = false;
    ensureCursorVisible();
  }
}

void MultiLineEditWidget::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
  // Qt ignores Ctrl+Enter and makes Shift+Enter a line separator; here both start a new
  // line like Enter.
  if (enter && !isReadOnly() && modifiers != Qt::NoModifier && !(modifiers & Qt::AltModifier)) {
    QTextCursor cursor = textCursor();
    cursor.insertBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
    event->accept();
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

QMimeData* MultiLineEditWidget::createMimeDataFromSelection() const {
  if (!m_attached) return QPlainTextEdit::createMimeDataFromSelection();
  const QTextCursor cursor = textCursor();
  const int from = cursor.selectionStart();
  const int to = cursor.selectionEnd();
  std::u16string text;
  if (ShowsAttachedText()) {
    const std::size_t start = m_display.ToText(from);
    const std::size_t end = m_display.ToText(to);
    // The shown text equals the string up to the first change not shown yet.
    const std::size_t current = std::min(m_firstChange, m_attached->size());
    if (end <= current) text = m_attached->substr(start, end - start);
  }
  if (text.empty() && from != to) text = DocumentText(from, to);
  auto* data = new QMimeData;
  data->setText(ToQString(text));
  return data;
}

std::u16string MultiLineEditWidget::DocumentText(int from, int to) const {
  std::u16string text;
  ForEachPosition(*document(), m_attached != nullptr, from, to, [&](int, std::u16string_view units) {
    text.append(units);
    return true;
  });
  return text;
}

int MultiLineEditWidget::ToDocument(int position) const {
  if (ShowsAttachedText()) return m_display.ToDocument(static_cast<std::size_t>(std::max(position, 0)));
  const int end = document()->characterCount() - 1;
  int result = end;
  int units = 0;
  ForEachPosition(*document(), m_attached != nullptr, 0, end, [&](int documentPosition, std::u16string_view stands) {
    if (units >= position) {
      result = documentPosition;
      return false;
    }
    units += static_cast<int>(stands.size());
    return true;
  });
  return result;
}

int MultiLineEditWidget::ToProgram(int documentPosition) const {
  if (ShowsAttachedText()) return static_cast<int>(m_display.ToText(documentPosition));
  int units = 0;
  ForEachPosition(*document(), m_attached != nullptr, 0, documentPosition, [&](int, std::u16string_view stands) {
    units += static_cast<int>(stands.size());
    return true;
  });
  return units;
}
