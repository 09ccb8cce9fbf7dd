// Card initialization: the system's format dialog for the card, then the initial file structure
// on a card that holds no prompts.

#include "common/Messages.h"
#include "operations/CardOperations.h"
#include "operations/InstallFolders.h"
#include "operations/PreChecks.h"

namespace vocell::operations {
namespace {

// The format dialog counts drives from A = 0; letter codes count from C = 0.
constexpr int kLetterCodeToDriveIndex = 2;

}  // namespace

void OnInitializeCard(OperationHost& host) {
    if (!CheckCardSelected(host) || !CheckMediaPresent(host) || !CheckDriveInSlot(host)) return;
    host.archiveState().promptsCleared = false;
    if (!CheckInstallFolder(host, kBackupFolder, text::kBackupFolderMissing) ||
        !CheckInstallFolder(host, kDataFolder, text::kDataFolderMissing) || !CheckStillSelectedCard(host)) {
        return;
    }
    Desktop& desktop = host.desktop();
    if (desktop.ShowMessageBox(std::string(text::kReformatQuestion), MessageButtons::YesNo) !=
        MessageAnswer::Yes) {
        return;
    }
    desktop.ShowMessageBox(std::string(text::kFormatNotice), MessageButtons::Ok);
    // The questions' modal loops may have let the drives change: never format another drive.
    if (!CheckStillSelectedCard(host)) return;
    host.desktop().ShowFormatDialog(host.Slots().selectedLetterCode() + kLetterCodeToDriveIndex);

    host.RefreshCardStatus();
    host.SetStatusPane(kActivityPane, text::kInstallingPrompts);
    desktop.Repaint();
    if (host.Fields().promptVersionText.empty() && CheckStillSelectedCard(host)) {
        desktop.BeginBusyCursor();
        InstallInitialStructure(host);
        desktop.EndBusyCursor();
    }
    const std::string cardRoot = host.Slots().cardRoot();
    host.VolumeLabel() = cardRoot.empty() ? std::string() : host.volumes().VolumeLabel(cardRoot).value_or("");
    host.Fields().deviceText = devices::DeviceText(cardRoot, host.VolumeLabel());
    host.RefreshCardStatus();
    host.SetStatusPane(kActivityPane, text::kReady);
    desktop.Repaint();
}

void InstallInitialStructure(OperationHost& host) {
    const std::string archivePath(kInitialStructureArchive);
    if (!host.fileSystem().FileSize(archivePath).ok()) {
        host.desktop().ShowMessageBox(std::string(text::kInitialStructureMissing), MessageButtons::Ok);
        return;
    }
    host.desktop().Repaint();
    host.desktop().BeginBusyCursor();
    archive::ExtractArchiveFile(host.fileSystem(), host.archiveState(), archivePath, host.Slots().cardRoot(),
                                archive::PromptHandling::ReplaceCardPrompts, host.ExtractionProgress());
    host.desktop().EndBusyCursor();
}

}  // namespace vocell::operations
