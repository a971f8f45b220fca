#pragma once

#include <QRect>
#include <QString>
#include <span>

#include "platform/dialog_template.h"

// Where the controls of a template that have no caption of their own (edits, combos) take
// their accessible name from, found by where they sit, as a reader of the window would.
namespace accessible_names {

struct Placed {
  ControlKind kind;
  QRect rect;  // pixels, as shown
};

// Index of the control whose caption names controls[index]: for a multi-line edit the
// smallest group box around it; else a static text (or else a push button) just left of it on
// its row; else a static text just above it. -1 when there is none. `gap` is the largest
// distance in pixels that still counts as "just".
int NamingControl(std::span<const Placed> controls, std::size_t index, QSize gap);

// A caption as a name: no mnemonic marks, no closing colon; a group box caption also loses
// a count at its end ("Receive 37" names the box "Receive").
QString FromCaption(const QString& caption, bool dropTrailingNumber);

}  // namespace accessible_names
