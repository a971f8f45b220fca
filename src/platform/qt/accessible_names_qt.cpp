#include "platform/qt/accessible_names_qt.h"

#include <QRegularExpression>
#include <limits>

namespace accessible_names {
namespace {
// Rounding of dialog units may let neighbours overlap by a pixel or two.
constexpr int kSlack = 2;

int LeftNeighbour(std::span<const Placed> controls, const QRect& target, ControlKind kind, int gap) {
  int best = -1;
  int bestDistance = std::numeric_limits<int>::max();
  for (std::size_t i = 0; i < controls.size(); ++i) {
    if (controls[i].kind != kind) continue;
    const QRect& r = controls[i].rect;
    const int distance = target.left() - (r.left() + r.width());
    const int middle = r.top() + r.height() / 2;
    if (distance < -kSlack || distance > gap || middle < target.top() || middle > target.bottom()) continue;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = static_cast<int>(i);
    }
  }
  return best;
}

int LabelAbove(std::span<const Placed> controls, const QRect& target, int gap) {
  int best = -1;
  int bestDistance = std::numeric_limits<int>::max();
  for (std::size_t i = 0; i < controls.size(); ++i) {
    if (controls[i].kind != ControlKind::StaticText) continue;
    const QRect& r = controls[i].rect;
    const int distance = target.top() - (r.top() + r.height());
    const bool overlaps = r.left() < target.left() + target.width() && target.left() < r.left() + r.width();
    if (!overlaps || distance < -kSlack || distance > gap) continue;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = static_cast<int>(i);
    }
  }
  return best;
}

int FramingGroup(std::span<const Placed> controls, const QRect& target) {
  int best = -1;
  long long bestArea = std::numeric_limits<long long>::max();
  for (std::size_t i = 0; i < controls.size(); ++i) {
    if (controls[i].kind != ControlKind::GroupBox || !controls[i].rect.contains(target)) continue;
    const long long area = static_cast<long long>(controls[i].rect.width()) * controls[i].rect.height();
    if (area < bestArea) {
      bestArea = area;
      best = static_cast<int>(i);
    }
  }
  return best;
}
}  // namespace

int NamingControl(std::span<const Placed> controls, std::size_t index, QSize gap) {
  const QRect& target = controls[index].rect;
  if (controls[index].kind == ControlKind::MultiLineEdit || controls[index].kind == ControlKind::ListBox) {
    if (const int group = FramingGroup(controls, target); group >= 0) return group;
  }
  for (const ControlKind kind : {ControlKind::StaticText, ControlKind::PushButton}) {
    if (const int left = LeftNeighbour(controls, target, kind, gap.width()); left >= 0) return left;
  }
  return LabelAbove(controls, target, gap.height());
}

QString FromCaption(const QString& caption, bool dropTrailingNumber) {
  QString name;
  name.reserve(caption.size());
  for (qsizetype i = 0; i < caption.size(); ++i) {
    // "&x" marks a mnemonic, "&&" is a literal ampersand.
    if (caption[i] == QLatin1Char('&') && i + 1 < caption.size()) ++i;
    name.append(caption[i]);
  }
  if (dropTrailingNumber) {
    static const QRegularExpression trailingNumber(QStringLiteral("\\s+\\d+$"));
    name.remove(trailingNumber);
  }
  name = name.trimmed();
  while (name.endsWith(QLatin1Char(':')) || name.endsWith(QChar(0xFF1A))) name.chop(1);
  return name.trimmed();
}

}  // namespace accessible_names
