#pragma once
// The open and save dialogs with the dialog's settings: the one file type, the default
// extension, the initial folder, the overwrite question and the existence checks.

#include <QFileDialog>
#include <optional>

#include "app/Desktop.h"

namespace vocell::qt {

enum class FileDialogKind { Open, Save };

void ConfigureFileDialog(QFileDialog& dialog, FileDialogKind kind, const FileDialogSettings& settings,
                         const QString& hostFolder);
// Runs the dialog; the host path chosen, nothing for Cancel or an empty path.
std::optional<QString> RunFileDialog(QWidget* parent, FileDialogKind kind, const FileDialogSettings& settings,
                                     const QString& hostFolder);

}  // namespace vocell::qt
