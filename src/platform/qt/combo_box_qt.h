#pragma once

#include <QComboBox>

// A combo box that tells the dialog what the user does with it: the list is about to drop
// down (the handler may still refill it), or the user changed the selection (list, arrow
// keys with the list closed, mouse wheel). Changes made by the program are never reported.
class ComboBoxWidget : public QComboBox {
  Q_OBJECT

 public:
  ComboBoxWidget(bool editable, QWidget* parent);

  void showPopup() override;

  // The program's edits: they keep the selection and the edit field as the platform's combo
  // does (adding an item never selects it) and raise no notification.
  void ResetContent();
  int AddString(const QString& text);
  void SetCurSel(int index);
  void SetText(const QString& text);

 signals:
  void dropDown();
  void userSelectionChanged();

 private:
  bool m_indexChanged = false;
};
