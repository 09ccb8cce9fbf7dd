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
    host.refreshCardStatus();
    if (!CheckMediaPresent(host) || !CheckDriveInSlot(host) || !CheckStillSelectedCard(host) ||
        !CheckInstallFolder(host, kBackupFolder, text::kBackupFolderMissing)) {
        return;
    }
    host.backupHeaderWritten() = false;
    BackupToArchive(host);
}

void BackupToArchive(OperationHost& host) {
    Desktop& desktop = host.desktop();
    auto archivePath = desktop.saveFileDialog(BackupSaveDialog());
    if (!archivePath || archivePath->empty()) return;
    // The dialog's modal loop may have let the drives change.
    if (!CheckStillSelectedCard(host)) return;

    desktop.repaint();
    desktop.beginBusyCursor();
    host.setStatusPane(kActivityPane, text::kBackingUpData);
    host.backupHeaderWritten() = true;
    auto outcome = archive::WriteCardBackup(host.fileSystem(), host.slots().cardRoot(), *archivePath,
                                            host.fields().promptVersionText, host.backupProgress());
    host.setStatusPane(kDetailPane, "");
    host.setStatusPane(kActivityPane, text::kReady);
    desktop.endBusyCursor();

    if (!outcome.written()) {
        desktop.messageBox(archive::BackupFailedMessage(*outcome.failure), MessageButtons::Ok);
    } else if (!outcome.complete()) {
        desktop.messageBox(archive::BackupIncompleteMessage(outcome.leftOut, *archivePath, outcome.savedAs), MessageButtons::Ok);
    } else {
        desktop.messageBox(std::string(text::kBackupComplete), MessageButtons::Ok);
    }
}

}  // namespace vocell::operations
