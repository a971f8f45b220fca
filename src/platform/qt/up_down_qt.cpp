#include "platform/qt/up_down_qt.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {
QToolButton* MakeArrow(Qt::ArrowType arrow, const QString& name, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setArrowType(arrow);
  button->setAutoRepeat(true);
  // The focus stays in the buddy while the arrows are clicked.
  button->setFocusPolicy(Qt::NoFocus);
  button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
  button->setAccessibleName(name);
  return button;
}
}  // namespace

UpDownWidget::UpDownWidget(QLineEdit* buddy, bool wrap, QWidget* parent)
    : QWidget(parent), m_buddy(buddy), m_wrap(wrap) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* up = MakeArrow(Qt::UpArrow, QStringLiteral("Up"), this);
  auto* down = MakeArrow(Qt::DownArrow, QStringLiteral("Down"), this);
  layout->addWidget(up);
  layout->addWidget(down);
  connect(up, &QToolButton::clicked, this, [this] { Step(1); });
  connect(down, &QToolButton::clicked, this, [this] { Step(-1); });
  if (m_buddy) m_buddy->installEventFilter(this);
}

void UpDownWidget::SetRange(int lower, int upper) {
  m_lower = lower;
  m_upper = upper;
}

void UpDownWidget::Step(int direction) {
  if (!isEnabled()) return;
  const int low = std::min(m_lower, m_upper);
  const int high = std::max(m_lower, m_upper);
  int value = m_position;
  if (m_buddy) {
    // What the user typed counts; a text that is no number leaves the last position.
    QString typed = m_buddy->text();
    typed.remove(QLatin1Char(',')).remove(QLocale().groupSeparator()).remove(QLatin1Char(' '));
    bool ok = false;
    const int parsed = typed.toInt(&ok);
    if (ok) value = parsed;
  }
  // A reversed range steps the other way, as the platform's control does.
  const long long next = static_cast<long long>(value) + (m_upper >= m_lower ? direction : -direction);
  if (next > high) {
    m_position = m_wrap ? low : high;
  } else if (next < low) {
    m_position = m_wrap ? high : low;
  } else {
    m_position = static_cast<int>(next);
  }
  if (m_buddy) m_buddy->setText(QString::number(m_position));
}

bool UpDownWidget::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_buddy && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
      Step(key == Qt::Key_Up ? 1 : -1);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}
