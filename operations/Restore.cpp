// Restore: writes a backup onto the selected card, keeping or replacing the card's prompts after
// comparing the prompt versions.

#include "archive/InterruptedRestore.h"
#include "common/Messages.h"
#include "operations/CardExtraction.h"
#include "operations/CardOperations.h"
#include "operations/InstallFolders.h"

namespace vocell::operations {
namespace {

std::string OverwriteQuestion(const std::string& cardVersion, const std::string& archiveVersion) {
    return std::string(text::kCardPromptsAreVersion) + cardVersion +
           std::string(text::kRestoreContainsVersion) + archiveVersion + std::string(text::kOverwritePrompts);
}

}  // namespace

Outcome OnRestore(OperationContext& context) {
    if (Refusal refused = RunChecks(context, {Check::CardSelected, Check::MediaPresent})) return *refused;
    context.dialog.RefreshCardStatus();
    context.desktop.Repaint();
    if (Refusal refused =
            RunChecks(context, {Check::MediaPresent, Check::DriveInSlot, Check::StillSelectedCard,
                                Check::BackupFolder, Check::DataFolder})) {
        return *refused;
    }
    context.dialog.SetStatusPane(kActivityPane, text::kRestoringData);
    std::optional<BusyCursor> busy;
    Outcome outcome = RestoreFromArchive(context, busy);
    // However the restore ended, a cancellation included.
    busy.reset();
    context.dialog.SetStatusPane(kActivityPane, text::kReady);
    context.dialog.RefreshCardStatus();
    return outcome;
}

Outcome RestoreFromArchive(OperationContext& context, std::optional<BusyCursor>& busy) {
    OperationDesktop& desktop = context.desktop;
    auto archivePath = desktop.OpenFileDialog(BackupOpenDialog());
    if (!archivePath || archivePath->empty()) return Outcome::Stopped(StopReason::Cancelled);

    // A file that cannot be restored is refused before any question about it.
    archive::CheckedArchive checked;
    if (Refusal refused = OpenArchiveForCard(context, *archivePath, checked)) return *refused;
    desktop.Repaint();
    busy.emplace(desktop);

    // After an interrupted restore the card's prompts are no whole copy of any version, whatever
    // their version file says: the backup's replace them.
    const bool interrupted =
        archive::RestoreWasInterrupted(context.fileSystem, context.state.slots.cardRoot());
    const std::string& cardVersion = context.state.fields.promptVersionText;
    auto prompts = archive::PromptHandling::KeepCardPrompts;
    if (interrupted || cardVersion.empty()) {
        prompts = archive::PromptHandling::ReplaceCardPrompts;
    } else if (cardVersion != checked.version) {
        const MessageAnswer answer =
            desktop.ShowMessageBox(OverwriteQuestion(cardVersion, checked.version),
                                   MessageButtons::YesNoCancel, MessageKind::Question);
        desktop.Repaint();
        if (answer != MessageAnswer::Yes && answer != MessageAnswer::No) {
            return Outcome::Stopped(StopReason::Cancelled);
        }
        prompts = answer == MessageAnswer::Yes ? archive::PromptHandling::ReplaceCardPrompts
                                               : archive::PromptHandling::KeepCardPrompts;
    }
    // The question's modal loop may have let the drives change.
    if (Refusal refused = RunChecks(context, {Check::StillSelectedCard})) return *refused;
    Outcome outcome = ExtractOntoCard(context, checked, prompts, CardCoverage::WholeBackup);
    if (interrupted && outcome.kind != OutcomeKind::Failed) {
        desktop.ShowMessageBox(std::string(text::kPromptsRestoredAfterInterruption), MessageButtons::Ok,
                               MessageKind::Notice);
    }
    if (outcome.done())
        desktop.ShowMessageBox(std::string(text::kRestoreComplete), MessageButtons::Ok,
                               MessageKind::Completion);
    desktop.Repaint();
    return outcome;
}

}  // namespace vocell::operations
