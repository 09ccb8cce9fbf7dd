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
           std::string(text::kRestoreContainsVersion) + archiveVersion + std::string(text::kOverwritePrompts);
}

}  // namespace

void OnRestore(OperationHost& host) {
    if (!CheckCardSelected(host) || !CheckMediaPresent(host)) return;
    host.RefreshCardStatus();
    host.Repaint();
    if (!CheckMediaPresent(host) || !CheckDriveInSlot(host) || !CheckStillSelectedCard(host) ||
        !CheckInstallFolder(host, kBackupFolder, text::kBackupFolderMissing) ||
        !CheckInstallFolder(host, kDataFolder, text::kDataFolderMissing)) {
        return;
    }
    host.archiveState().promptsCleared = false;
    host.SetStatusPane(kActivityPane, text::kRestoringData);
    if (RestoreFromArchive(host)) host.desktop().EndBusyCursor();
    host.SetStatusPane(kActivityPane, text::kReady);
    host.RefreshCardStatus();
}

bool RestoreFromArchive(OperationHost& host) {
    Desktop& desktop = host.desktop();
    auto archivePath = desktop.OpenFileDialog(BackupOpenDialog());
    if (!archivePath || archivePath->empty()) return false;

    archive::ArchiveState& state = host.archiveState();
    // A file that cannot be restored is refused before any question about it.
    archive::CheckedArchive checked =
        archive::OpenCheckedArchive(host.fileSystem(), *archivePath, host.Slots().cardRoot());
    if (!checked.check.sound()) {
        state.extractionFailed = true;
        desktop.ShowMessageBox(archive::ArchiveCheckMessage(checked.check), MessageButtons::Ok);
        return false;
    }
    archive::ReadArchiveVersion(host.fileSystem(), state, *archivePath);
    desktop.Repaint();
    desktop.BeginBusyCursor();

    const std::string& cardVersion = host.Fields().promptVersionText;
    auto prompts = archive::PromptHandling::KeepCardPrompts;
    if (cardVersion == state.archiveVersion) {
        prompts = archive::PromptHandling::KeepCardPrompts;
    } else if (cardVersion.empty()) {
        prompts = archive::PromptHandling::ReplaceCardPrompts;
    } else {
        const MessageAnswer answer = desktop.ShowMessageBox(
            OverwriteQuestion(cardVersion, state.archiveVersion), MessageButtons::YesNoCancel);
        desktop.Repaint();
        if (answer != MessageAnswer::Yes && answer != MessageAnswer::No) return true;
        prompts = answer == MessageAnswer::Yes ? archive::PromptHandling::ReplaceCardPrompts
                                               : archive::PromptHandling::KeepCardPrompts;
    }
    if (!CheckStillSelectedCard(host)) return true;
    archive::ExtractCheckedArchive(host.fileSystem(), state, checked, host.Slots().cardRoot(), prompts,
                                   host.ExtractionProgress());
    if (!state.extractionFailed)
        desktop.ShowMessageBox(std::string(text::kRestoreComplete), MessageButtons::Ok);
    desktop.Repaint();
    return true;
}

}  // namespace vocell::operations
