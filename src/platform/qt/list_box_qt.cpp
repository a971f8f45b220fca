#include "platform/qt/list_box_qt.h"

#include <QSignalBlocker>

ListBoxWidget::ListBoxWidget(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setUniformItemSizes(true);
  // The selection, not the current item: an accessible select action moves only the former.
  connect(this, &QListWidget::itemSelectionChanged, this, &ListBoxWidget::userSelectionChanged);
  connect(this, &QListWidget::itemDoubleClicked, this, &ListBoxWidget::itemDoubleClickedByUser);
}

void ListBoxWidget::ResetContent() {
  const QSignalBlocker blocker(this);
  clear();
}

int ListBoxWidget::AddString(const QString& text) {
  const QSignalBlocker blocker(this);
  addItem(text);
  return count() - 1;
}

int ListBoxWidget::CurSel() const {
  const QList<QListWidgetItem*> selected = selectedItems();
  return selected.isEmpty() ? -1 : row(selected.front());
}

void ListBoxWidget::SetCurSel(int index) {
  const QSignalBlocker blocker(this);
  if (index < 0 || index >= count()) {
    clearSelection();
    setCurrentRow(-1);
    return;
  }
  setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
  scrollToItem(item(index));
}
