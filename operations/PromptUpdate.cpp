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
           std::string(text::kInstallContainsVersion) + packageVersion + std::string(text::kOverwritePrompts);
}

}  // namespace

void OnUpdatePrompts(OperationHost& host) {
    if (!CheckCardSelected(host)) return;
    host.RefreshCardStatus();
    if (!CheckMediaPresent(host) || !CheckDriveInSlot(host) || !CheckStillSelectedCard(host) ||
        !CheckInstallFolder(host, kBackupFolder, text::kBackupFolderMissing) ||
        !CheckInstallFolder(host, kPromptsFolder, text::kPromptsFolderMissing) ||
        !CheckInstallFolder(host, kDataFolder, text::kDataFolderMissing)) {
        return;
    }
    archive::ArchiveState& state = host.archiveState();
    state.promptsCleared = false;
    Desktop& desktop = host.desktop();
    auto packagePath = desktop.OpenFileDialog(PromptPackageOpenDialog());
    if (!packagePath || packagePath->empty()) return;

    desktop.Repaint();
    desktop.BeginBusyCursor();
    archive::CheckedArchive checked =
        archive::OpenCheckedArchive(host.fileSystem(), *packagePath, host.Slots().cardRoot());
    if (!checked.check.sound()) {
        desktop.ShowMessageBox(archive::ArchiveCheckMessage(checked.check), MessageButtons::Ok);
        desktop.EndBusyCursor();
        return;
    }
    archive::ReadArchiveVersion(host.fileSystem(), state, *packagePath);
    const MessageAnswer answer = desktop.ShowMessageBox(
        UpdateQuestion(host.Fields().promptVersionText, state.archiveVersion), MessageButtons::YesNo);
    if (answer != MessageAnswer::Yes || !CheckStillSelectedCard(host)) {
        desktop.EndBusyCursor();
        return;
    }
    desktop.Repaint();
    host.SetStatusPane(kActivityPane, text::kDeletingOldPrompts);
    host.SetStatusPane(kActivityPane, text::kUpdatingPrompts);
    archive::ExtractCheckedArchive(host.fileSystem(), state, checked, host.Slots().cardRoot(),
                                   archive::PromptHandling::ReplaceCardPrompts, host.ExtractionProgress());
    host.SetStatusPane(kActivityPane, text::kFinalizing);
    if (!state.extractionFailed) {
        desktop.ShowMessageBox(std::string(text::kPromptUpdateComplete), MessageButtons::Ok);
    }
    desktop.EndBusyCursor();
    host.SetStatusPane(kActivityPane, text::kReady);
    host.RefreshCardStatus();
    host.Push();
    desktop.Repaint();
}

}  // namespace vocell::operations
