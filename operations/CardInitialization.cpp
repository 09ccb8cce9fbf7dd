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
        !CheckInstallFolder(host, kDataFolder, text::kDataFolderMissing) ||
        !CheckStillSelectedCard(host)) {
        return;
    }
    Desktop& desktop = host.desktop();
    if (desktop.messageBox(std::string(text::kReformatQuestion), MessageButtons::YesNo) != MessageAnswer::Yes) {
        return;
    }
    desktop.messageBox(std::string(text::kFormatNotice), MessageButtons::Ok);
    // The questions' modal loops may have let the drives change: never format another drive.
    if (!CheckStillSelectedCard(host)) return;
    host.volumes().showFormatDialog(host.slots().selectedLetterCode() + kLetterCodeToDriveIndex);

    host.refreshCardStatus();
    host.setStatusPane(kActivityPane, text::kInstallingPrompts);
    desktop.repaint();
    if (host.fields().promptVersionText.empty() && CheckStillSelectedCard(host)) {
        desktop.beginBusyCursor();
        InstallInitialStructure(host);
        desktop.endBusyCursor();
    }
    const std::string cardRoot = host.slots().cardRoot();
    host.volumeLabel() = cardRoot.empty() ? std::string() : host.volumes().volumeLabel(cardRoot).value_or("");
    host.fields().deviceText = devices::DeviceText(cardRoot, host.volumeLabel());
    host.refreshCardStatus();
    host.setStatusPane(kActivityPane, text::kReady);
    desktop.repaint();
}

void InstallInitialStructure(OperationHost& host) {
    const std::string archivePath(kInitialStructureArchive);
    if (!host.fileSystem().fileSize(archivePath).ok()) {
        host.desktop().messageBox(std::string(text::kInitialStructureMissing), MessageButtons::Ok);
        return;
    }
    host.desktop().repaint();
    host.desktop().beginBusyCursor();
    archive::ExtractArchiveFile(host.fileSystem(), host.archiveState(), archivePath,
                                host.slots().cardRoot(), archive::PromptHandling::ReplaceCardPrompts,
                                host.extractionProgress());
    host.desktop().endBusyCursor();
}

}  // namespace vocell::operations
