#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// An up/down arrow pair that steps the integer in its buddy edit: the arrows, or the Up and
// Down keys in the buddy. It writes plain digits, without digit-group separators, so that
// the buddy's text always reads back as a number.
class UpDownWidget : public QWidget {
  Q_OBJECT

 public:
  // buddy may be null (nothing to write to); wrap: past one end of the range comes the other.
  UpDownWidget(QLineEdit* buddy, bool wrap, QWidget* parent);

  void SetRange(int lower, int upper);
  // direction +1 moves toward the upper bound, -1 toward the lower one.
  void Step(int direction);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLineEdit* m_buddy;
  bool m_wrap;
  int m_lower = 0;
  int m_upper = 100;
  int m_position = 0;
};
