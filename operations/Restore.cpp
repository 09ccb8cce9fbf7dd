// Restore: writes a backup onto the selected card, keeping or replacing the card's prompts after
// comparing the prompt versions.

#include "archive/ArchiveExtraction.h"
#include "archive/ArchiveHeaderProbe.h"
#include "common/Messages.h"
#include "operations/CardOperations.h"
#include "operations/InstallFolders.h"
#include "operations/PreChecks.h"

namespace vocell::operations {
namespace {

std::string OverwriteQuestion(const std::string& cardVersion, const std::string& archiveVersion) {
    return std::string(text::kCardPromptsAreVersion) + cardVersion +
           std::string(text::kRestoreContainsVersion) + archiveVersion +
           std::string(text::kOverwritePrompts);
}

}  // namespace

void OnRestore(OperationHost& host) {
    if (!CheckCardSelected(host) || !CheckMediaPresent(host)) return;
    host.refreshCardStatus();
    host.repaint();
    if (!CheckMediaPresent(host) || !CheckDriveInSlot(host) || !CheckStillSelectedCard(host) ||
        !CheckInstallFolder(host, kBackupFolder, text::kBackupFolderMissing) ||
        !CheckInstallFolder(host, kDataFolder, text::kDataFolderMissing)) {
        return;
    }
    host.archiveState().promptsCleared = false;
    host.setStatusPane(kActivityPane, text::kRestoringData);
    if (RestoreFromArchive(host)) host.desktop().endBusyCursor();
    host.setStatusPane(kActivityPane, text::kReady);
    host.refreshCardStatus();
}

bool RestoreFromArchive(OperationHost& host) {
    Desktop& desktop = host.desktop();
    auto archivePath = desktop.openFileDialog(BackupOpenDialog());
    if (!archivePath || archivePath->empty()) return false;

    archive::ArchiveState& state = host.archiveState();
    // A file that cannot be restored is refused before any question about it.
    archive::CheckedArchive checked =
        archive::OpenCheckedArchive(host.fileSystem(), *archivePath, host.slots().cardRoot());
    if (!checked.check.sound()) {
        state.extractionFailed = true;
        desktop.messageBox(archive::ArchiveCheckMessage(checked.check), MessageButtons::Ok);
        return false;
    }
    archive::ReadArchiveVersion(host.fileSystem(), state, *archivePath);
    desktop.repaint();
    desktop.beginBusyCursor();

    const std::string& cardVersion = host.fields().promptVersionText;
    auto prompts = archive::PromptHandling::KeepCardPrompts;
    if (cardVersion == state.archiveVersion) {
        prompts = archive::PromptHandling::KeepCardPrompts;
    } else if (cardVersion.empty()) {
        prompts = archive::PromptHandling::ReplaceCardPrompts;
    } else {
        const MessageAnswer answer = desktop.messageBox(
            OverwriteQuestion(cardVersion, state.archiveVersion), MessageButtons::YesNoCancel);
        desktop.repaint();
        if (answer != MessageAnswer::Yes && answer != MessageAnswer::No) return true;
        prompts = answer == MessageAnswer::Yes ? archive::PromptHandling::ReplaceCardPrompts
                                               : archive::PromptHandling::KeepCardPrompts;
    }
    if (!CheckStillSelectedCard(host)) return true;
    archive::ExtractCheckedArchive(host.fileSystem(), state, checked, host.slots().cardRoot(), prompts,
                                   host.extractionProgress());
    if (!state.extractionFailed) desktop.messageBox(std::string(text::kRestoreComplete), MessageButtons::Ok);
    desktop.repaint();
    return true;
}

}  // namespace vocell::operations
