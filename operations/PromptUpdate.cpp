// Prompt update: replaces the card's prompt folder with the content of a prompt package.

#include "archive/ArchiveExtraction.h"
#include "archive/ArchiveHeaderProbe.h"
#include "common/Messages.h"
#include "operations/CardOperations.h"
#include "operations/InstallFolders.h"
#include "operations/PreChecks.h"

namespace vocell::operations {
namespace {

std::string UpdateQuestion(const std::string& cardVersion, const std::string& packageVersion) {
    if (cardVersion.empty()) {
        return std::string(text::kNoPromptsInstallVersion) + packageVersion + std::string(text::kQuestionEnd);
    }
    return std::string(text::kCardPromptsAreVersion) + cardVersion +
           std::string(text::kInstallContainsVersion) + packageVersion +
           std::string(text::kOverwritePrompts);
}

}  // namespace

void OnUpdatePrompts(OperationHost& host) {
    if (!CheckCardSelected(host)) return;
    host.refreshCardStatus();
    if (!CheckMediaPresent(host) || !CheckDriveInSlot(host) || !CheckStillSelectedCard(host) ||
        !CheckInstallFolder(host, kBackupFolder, text::kBackupFolderMissing) ||
        !CheckInstallFolder(host, kPromptsFolder, text::kPromptsFolderMissing) ||
        !CheckInstallFolder(host, kDataFolder, text::kDataFolderMissing)) {
        return;
    }
    archive::ArchiveState& state = host.archiveState();
    state.promptsCleared = false;
    Desktop& desktop = host.desktop();
    auto packagePath = desktop.openFileDialog(PromptPackageOpenDialog());
    if (!packagePath || packagePath->empty()) return;

    desktop.repaint();
    desktop.beginBusyCursor();
    archive::CheckedArchive checked =
        archive::OpenCheckedArchive(host.fileSystem(), *packagePath, host.slots().cardRoot());
    if (!checked.check.sound()) {
        desktop.messageBox(archive::ArchiveCheckMessage(checked.check), MessageButtons::Ok);
        desktop.endBusyCursor();
        return;
    }
    archive::ReadArchiveVersion(host.fileSystem(), state, *packagePath);
    const MessageAnswer answer = desktop.messageBox(
        UpdateQuestion(host.fields().promptVersionText, state.archiveVersion), MessageButtons::YesNo);
    if (answer != MessageAnswer::Yes || !CheckStillSelectedCard(host)) {
        desktop.endBusyCursor();
        return;
    }
    desktop.repaint();
    host.setStatusPane(kActivityPane, text::kDeletingOldPrompts);
    host.setStatusPane(kActivityPane, text::kUpdatingPrompts);
    archive::ExtractCheckedArchive(host.fileSystem(), state, checked, host.slots().cardRoot(),
                                   archive::PromptHandling::ReplaceCardPrompts, host.extractionProgress());
    host.setStatusPane(kActivityPane, text::kFinalizing);
    if (!state.extractionFailed) {
        desktop.messageBox(std::string(text::kPromptUpdateComplete), MessageButtons::Ok);
    }
    desktop.endBusyCursor();
    host.setStatusPane(kActivityPane, text::kReady);
    host.refreshCardStatus();
    host.push();
    desktop.repaint();
}

}  // namespace vocell::operations
