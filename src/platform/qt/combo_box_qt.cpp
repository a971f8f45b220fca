#include "platform/qt/combo_box_qt.h"

#include <QLineEdit>
#include <QSignalBlocker>

namespace {
// The drop-down shows this many items before it scrolls, as the platform's current combos do.
constexpr int kVisibleItems = 30;
}  // namespace

ComboBoxWidget::ComboBoxWidget(bool editable, QWidget* parent) : QComboBox(parent) {
  setEditable(editable);
  setMaxVisibleItems(kVisibleItems);
  if (editable) {
    // Typed text is taken as typed: no inline completion, Enter adds nothing to the list.
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
  }
  // Programmatic changes run with signals blocked, so a change of index seen here comes from
  // the user; `activated` alone also fires when the user picks the item already selected.
  connect(this, &QComboBox::currentIndexChanged, this, [this] { m_indexChanged = true; });
  connect(this, &QComboBox::activated, this, [this] {
    if (!m_indexChanged) return;
    m_indexChanged = false;
    emit userSelectionChanged();
  });
}

void ComboBoxWidget::showPopup() {
  emit dropDown();
  QComboBox::showPopup();
}

void ComboBoxWidget::ResetContent() {
  const QSignalBlocker blocker(this);
  clear();
  if (isEditable()) clearEditText();
  m_indexChanged = false;
}

int ComboBoxWidget::AddString(const QString& text) {
  const QSignalBlocker blocker(this);
  // Qt selects the first item put into an empty combo; the platform's combo does not.
  const int index = currentIndex();
  const QString edited = currentText();
  addItem(text);
  if (currentIndex() != index) {
    setCurrentIndex(index);
    if (isEditable()) setEditText(edited);
  }
  m_indexChanged = false;
  return count() - 1;
}

void ComboBoxWidget::SetCurSel(int index) {
  const QSignalBlocker blocker(this);
  const bool valid = index >= 0 && index < count();
  setCurrentIndex(valid ? index : -1);
  // The edit field shows the item even when the index was already selected and the user
  // had typed over it.
  if (valid && isEditable()) setEditText(itemText(index));
  m_indexChanged = false;
}

void ComboBoxWidget::SetText(const QString& text) {
  const QSignalBlocker blocker(this);
  if (isEditable()) {
    setEditText(text);
  } else if (const int index = findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive); index >= 0) {
    setCurrentIndex(index);
  }
  m_indexChanged = false;
}
