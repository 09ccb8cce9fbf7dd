// Card initialization: the system's format dialog for the card, then the initial file structure
// on a card that holds no prompts.

#include "common/Messages.h"
#include "devices/DeviceSlots.h"
#include "operations/CardExtraction.h"
#include "operations/CardOperations.h"
#include "operations/InstallFolders.h"

namespace vocell::operations {
namespace {

// The format dialog counts drives from A = 0; letter codes count from C = 0.
constexpr int kLetterCodeToDriveIndex = 2;

// A formatted card has a new file system, and with it a new serial number and label: it is still
// the selected card when it lies on the same disk and partition.
void TakeFormattedMedium(OperationContext& context) {
    DialogState& state = context.state;
    const std::optional<MediumIdentity> formatted = context.volumes.MediumIdentityOf(state.slots.cardRoot());
    if (formatted && state.selectedMedium && formatted->device == state.selectedMedium->device) {
        state.selectedMedium = formatted;
    }
}

// The card's structure after the format dialog: the initial one on a card that holds no prompts.
// A card the format dialog refused or failed to format is left alone.
Outcome InstallAfterFormat(OperationContext& context, FormatOutcome formatted) {
    if (formatted == FormatOutcome::Refused) return Outcome::Stopped(StopReason::NotFormatted);
    // A card that still holds prompts (the format dialog closed unused) is left as it is, silently.
    if (!context.state.fields.promptVersionText.empty()) return Outcome::Stopped(StopReason::PromptsPresent);
    if (Refusal refused = RunChecks(context, {Check::StillSelectedCard})) return std::move(*refused);
    BusyCursor busy(context.desktop);
    return InstallInitialStructure(context);
}

}  // namespace

Outcome OnInitializeCard(OperationContext& context) {
    if (Refusal refused =
            RunChecks(context, {Check::CardSelected, Check::MediaPresent, Check::DriveInSlot,
                                Check::BackupFolder, Check::DataFolder, Check::StillSelectedCard})) {
        return *refused;
    }
    OperationDesktop& desktop = context.desktop;
    if (desktop.ShowMessageBox(std::string(text::kReformatQuestion), MessageButtons::YesNo,
                               MessageKind::ReformatQuestion) != MessageAnswer::Yes) {
        return Outcome::Stopped(StopReason::Cancelled);
    }
    desktop.ShowMessageBox(std::string(text::kFormatNotice), MessageButtons::Ok,
                           MessageKind::BeforeFormatDialog);
    // The questions' modal loops may have let the drives change: never format another drive.
    if (Refusal refused = RunChecks(context, {Check::StillSelectedCard})) return *refused;
    const FormatOutcome formatted = desktop.ShowFormatDialog(
        context.state.slots.selectedLetterCode() + kLetterCodeToDriveIndex, *context.state.selectedMedium);

    context.dialog.RefreshCardStatus();
    if (formatted == FormatOutcome::Formatted) TakeFormattedMedium(context);
    context.dialog.SetStatusPane(kActivityPane, text::kInstallingPrompts);
    desktop.Repaint();
    Outcome outcome = InstallAfterFormat(context, formatted);
    const std::string cardRoot = context.state.slots.cardRoot();
    context.state.volumeLabel = devices::ReadVolumeLabel(context.volumes, cardRoot);
    context.state.fields.deviceText = devices::DeviceText(cardRoot, context.state.volumeLabel);
    context.dialog.RefreshCardStatus();
    context.dialog.SetStatusPane(kActivityPane, text::kReady);
    desktop.Repaint();
    return outcome;
}

Outcome InstallInitialStructure(OperationContext& context) {
    const std::string archivePath(kInitialStructureArchive);
    if (!context.fileSystem.FileSize(archivePath).ok()) {
        context.desktop.ShowMessageBox(std::string(text::kInitialStructureMissing), MessageButtons::Ok,
                                       MessageKind::Notice);
        return Outcome::Stopped(StopReason::InitialStructureMissing);
    }
    context.desktop.Repaint();
    BusyCursor busy(context.desktop);
    archive::CheckedArchive checked;
    if (Refusal refused = OpenArchiveForCard(context, archivePath, checked)) return *refused;
    return ExtractOntoCard(context, checked, archive::PromptHandling::ReplaceCardPrompts, CardCoverage::Part);
}

}  // namespace vocell::operations
