#pragma once

#include <QStringList>
#include <optional>
#include <string_view>

#include "platform/dialog_window.h"

class QWidget;

// The open and save dialogs, Qt's own (not the desktop's), so they behave the same on every
// desktop and also without one.
std::optional<FileDialogResult> RunFileDialog(QWidget* parent, const FileDialogRequest& request);

// "Text Files(*.txt)|*.txt|All(*.*)|*.*||" -> {"Text Files(*.txt) (*.txt)", "All(*.*) (*.*)"}.
QStringList NameFiltersFromPattern(std::u16string_view filter);
