#include "operations/PreChecks.h"

#include <string>

#include "common/Messages.h"
#include "operations/InstallFolders.h"

namespace vocell::operations {
namespace {

Refusal Refuse(OperationContext& context, std::string_view message, StopReason reason) {
    context.desktop.ShowMessageBox(std::string(message), MessageButtons::Ok, MessageKind::Notice);
    return Outcome::Stopped(reason);
}

bool MediaPresent(OperationContext& context) {
    const std::string root = context.state.slots.cardRoot();
    // No path operation runs on an empty root; the checks after this one stop the operation.
    if (root.empty()) return true;
    return context.volumes.OpenRootForReading(root).error != FsError::NotReady;
}

bool InstallFolderExists(OperationContext& context, std::string_view folder) {
    auto found = context.fileSystem.Attributes(std::string(folder));
    return found.ok() ||
           (found.status().error != FsError::NotFound && found.status().error != FsError::PathNotFound);
}

// A card swapped for another in the same reader, or another disk that took the drive's letter,
// is not the card the user selected; neither is a medium that can no longer be told apart.
bool StillSelectedCard(OperationContext& context) {
    context.dialog.RescanDevices();
    const DialogState& state = context.state;
    const std::string root = state.slots.cardRoot();
    if (root.empty() || root != state.selectedCardRoot || !state.selectedMedium) return false;
    const std::optional<MediumIdentity> medium = context.volumes.MediumIdentityOf(root);
    return medium && *medium == *state.selectedMedium;
}

Refusal RunCheck(OperationContext& context, Check check) {
    DialogState& state = context.state;
    switch (check) {
        case Check::CardSelected:
            if (state.fields.statusText == text::kCardNotSelected) {
                return Refuse(context, text::kPleaseSelectDevice, StopReason::NoCardSelected);
            }
            break;
        case Check::MediaPresent:
            if (!MediaPresent(context)) return Refuse(context, text::kNoMediaPresent, StopReason::NoMedia);
            break;
        case Check::DriveInSlot:
            if (state.slots.selectedLetterCode() == devices::kNoDrive) {
                return Refuse(context, text::kInsertValidCard, StopReason::NoDriveInSlot);
            }
            break;
        case Check::StillSelectedCard:
            if (!StillSelectedCard(context)) {
                Refusal refused =
                    Refuse(context, text::kPleaseSelectDevice, StopReason::CardNoLongerSelected);
                state.fields.statusText = std::string(text::kCardNotSelected);
                context.dialog.Push();
                return refused;
            }
            break;
        case Check::BackupFolder:
            if (!InstallFolderExists(context, kBackupFolder)) {
                return Refuse(context, text::kBackupFolderMissing, StopReason::InstallFolderMissing);
            }
            break;
        case Check::DataFolder:
            if (!InstallFolderExists(context, kDataFolder)) {
                return Refuse(context, text::kDataFolderMissing, StopReason::InstallFolderMissing);
            }
            break;
        case Check::PromptsFolder:
            if (!InstallFolderExists(context, kPromptsFolder)) {
                return Refuse(context, text::kPromptsFolderMissing, StopReason::InstallFolderMissing);
            }
            break;
    }
    return std::nullopt;
}

}  // namespace

Refusal RunChecks(OperationContext& context, std::initializer_list<Check> checks) {
    for (Check check : checks) {
        if (Refusal refused = RunCheck(context, check)) return refused;
    }
    return std::nullopt;
}

}  // namespace vocell::operations
