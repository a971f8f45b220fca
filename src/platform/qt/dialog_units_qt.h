#pragma once

#include <QFont>
#include <QRect>

// Converts template dialog units to pixels with the dialog font's base units, computed as the
// platform the templates were drawn for computes them, so the window keeps their proportions
// with any font.
class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);

  int BaseX() const { return m_baseX; }
  int BaseY() const { return m_baseY; }
  int X(int units) const;
  int Y(int units) const;
  // Each edge is mapped on its own, so controls that touch in the template touch on screen.
  QRect Rect(int x, int y, int cx, int cy) const;

 private:
  int m_baseX;
  int m_baseY;
};
