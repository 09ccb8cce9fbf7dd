// Backup: saves the selected card's whole tree into one archive. The card is only read.

#include "archive/ArchiveMessages.h"
#include "archive/CardBackup.h"
#include "common/Messages.h"
#include "operations/CardOperations.h"
#include "operations/InstallFolders.h"
#include "operations/PreChecks.h"

namespace vocell::operations {

void OnBackup(OperationHost& host) {
    if (!CheckCardSelected(host) || !CheckMediaPresent(host)) return;
    host.RefreshCardStatus();
    if (!CheckMediaPresent(host) || !CheckDriveInSlot(host) || !CheckStillSelectedCard(host) ||
        !CheckInstallFolder(host, kBackupFolder, text::kBackupFolderMissing)) {
        return;
    }
    host.BackupHeaderWritten() = false;
    BackupToArchive(host);
}

void BackupToArchive(OperationHost& host) {
    Desktop& desktop = host.desktop();
    auto archivePath = desktop.SaveFileDialog(BackupSaveDialog());
    if (!archivePath || archivePath->empty()) return;
    // The dialog's modal loop may have let the drives change.
    if (!CheckStillSelectedCard(host)) return;

    desktop.Repaint();
    desktop.BeginBusyCursor();
    host.SetStatusPane(kActivityPane, text::kBackingUpData);
    host.BackupHeaderWritten() = true;
    auto outcome = archive::WriteCardBackup(host.fileSystem(), host.Slots().cardRoot(), *archivePath,
                                            host.Fields().promptVersionText, host.BackupProgress());
    host.SetStatusPane(kDetailPane, "");
    host.SetStatusPane(kActivityPane, text::kReady);
    desktop.EndBusyCursor();

    if (!outcome.written()) {
        desktop.ShowMessageBox(archive::BackupFailedMessage(*outcome.failure), MessageButtons::Ok);
    } else if (!outcome.complete()) {
        desktop.ShowMessageBox(
            archive::BackupIncompleteMessage(outcome.leftOut, *archivePath, outcome.savedAs),
            MessageButtons::Ok);
    } else {
        desktop.ShowMessageBox(std::string(text::kBackupComplete), MessageButtons::Ok);
    }
}

}  // namespace vocell::operations
