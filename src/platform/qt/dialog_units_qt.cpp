#include "platform/qt/dialog_units_qt.h"

#include <QFontMetrics>
#include <cstdint>

namespace {
// a * b / c rounded half away from zero, as the platform's MulDiv does.
int MulDiv(int a, int b, int c) {
  const std::int64_t product = static_cast<std::int64_t>(a) * b;
  const std::int64_t half = c / 2;
  return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}
}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  const int width = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  m_baseX = (width / 26 + 1) / 2;
  m_baseY = metrics.height();
}

int DialogUnits::X(int units) const { return MulDiv(units, m_baseX, 4); }

int DialogUnits::Y(int units) const { return MulDiv(units, m_baseY, 8); }

QRect DialogUnits::Rect(int x, int y, int cx, int cy) const {
  const int left = X(x);
  const int top = Y(y);
  return QRect(left, top, X(x + cx) - left, Y(y + cy) - top);
}
