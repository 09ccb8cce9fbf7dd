#include "qt/FileDialogs.h"

namespace vocell::qt {

void ConfigureFileDialog(QFileDialog& dialog, FileDialogKind kind, const FileDialogSettings& settings,
                         const QString& hostFolder) {
    const bool save = kind == FileDialogKind::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Saving needs an existing folder in any case; opening, an existing file when asked.
    dialog.setFileMode(save || !settings.fileMustExist ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The type's pattern does here what the pre-filled "*.vcb" does in the name box on Windows.
    dialog.setNameFilter(QString::fromStdString(settings.filterDescription));
    dialog.setDefaultSuffix(QString::fromStdString(settings.defaultExtension));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !settings.overwritePrompt);
    if (!hostFolder.isEmpty()) dialog.setDirectory(hostFolder);
}

std::optional<QString> RunFileDialog(QWidget* parent, FileDialogKind kind, const FileDialogSettings& settings,
                                     const QString& hostFolder) {
    QFileDialog dialog(parent);
    ConfigureFileDialog(dialog, kind, settings, hostFolder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    QString chosen = dialog.selectedFiles().constFirst();
    if (chosen.isEmpty()) return std::nullopt;
    return chosen;
}

}  // namespace vocell::qt
