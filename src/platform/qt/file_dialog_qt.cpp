#include "platform/qt/file_dialog_qt.h"

#include <QFileDialog>
#include <QFileInfo>

#include <algorithm>

#include "platform/qt/utf16_qt.h"

QStringList NameFiltersFromPattern(std::u16string_view filter) {
  QStringList filters;
  const QStringList parts = ToQString(filter).split(QLatin1Char('|'));
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString description = parts[i].trimmed();
    if (description.isEmpty()) break;
    // The platform separates the patterns of one entry with ';', Qt with blanks.
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    filters.append(description + QStringLiteral(" (") + patterns.simplified() + QLatin1Char(')'));
  }
  return filters;
}

std::optional<FileDialogResult> RunFileDialog(QWidget* parent, const FileDialogRequest& request) {
  QFileDialog dialog(parent);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  if (request.save) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
  }
  const QStringList filters = NameFiltersFromPattern(request.filter);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    if (request.fileType > 0 && request.fileType < filters.size()) dialog.selectNameFilter(filters[request.fileType]);
  }
  if (!request.defaultExtension.empty()) dialog.setDefaultSuffix(ToQString(request.defaultExtension));
  const QString initial = ToQString(request.initialPath);
  if (!initial.isEmpty()) {
    const QFileInfo info(initial);
    if (info.isDir() || initial.endsWith(QLatin1Char('/'))) {
      dialog.setDirectory(initial);
    } else {
      dialog.setDirectory(info.absolutePath());
      dialog.selectFile(info.fileName());
    }
  }
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  const int fileType = static_cast<int>(std::max<qsizetype>(0, filters.indexOf(dialog.selectedNameFilter())));
  return FileDialogResult{ToU16(chosen.front()), ToU16(QFileInfo(chosen.front()).fileName()), fileType};
}
