#include "qt/FileDialogs.h"

#include <memory>

namespace vocell::qt {
namespace {

struct DeleteLater {
    void operator()(QObject* object) const { object->deleteLater(); }
};

}  // namespace

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
    // A dialog that goes saves its state to the user's settings file and waits for the disk: it
    // goes once the window's own event loop is back, after the operation it named the file for,
    // not between the user's choice and the operation's start.
    const std::unique_ptr<QFileDialog, DeleteLater> owned(new QFileDialog(parent));
    QFileDialog& dialog = *owned;
    ConfigureFileDialog(dialog, kind, settings, hostFolder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    QString chosen = dialog.selectedFiles().constFirst();
    if (chosen.isEmpty()) return std::nullopt;
    return chosen;
}

}  // namespace vocell::qt
