#pragma once

#include <QListWidget>

// A list box that tells the dialog what the user does with it: a new selection (click,
// arrow keys, an accessible select action) or a double click on an item. Changes made by
// the program are never reported.
class ListBoxWidget : public QListWidget {
  Q_OBJECT

 public:
  explicit ListBoxWidget(QWidget* parent);

  // The program's edits.
  void ResetContent();
  int AddString(const QString& text);
  int CurSel() const;  // -1 when none is selected
  void SetCurSel(int index);

 signals:
  void userSelectionChanged();
  void itemDoubleClickedByUser();
};
