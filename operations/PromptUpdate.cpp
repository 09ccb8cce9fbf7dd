// Prompt update: replaces the card's prompt folder with the content of a prompt package.

#include "common/Messages.h"
#include "operations/CardExtraction.h"
#include "operations/CardOperations.h"
#include "operations/InstallFolders.h"

namespace vocell::operations {
namespace {

std::string UpdateQuestion(const std::string& cardVersion, const std::string& packageVersion) {
    if (cardVersion.empty()) {
        return std::string(text::kNoPromptsInstallVersion) + packageVersion + std::string(text::kQuestionEnd);
    }
    return std::string(text::kCardPromptsAreVersion) + cardVersion +
           std::string(text::kInstallContainsVersion) + packageVersion + std::string(text::kOverwritePrompts);
}

// From the busy cursor to the completion message; the card changes only after Yes.
Outcome InstallPackage(OperationContext& context, const std::string& packagePath) {
    OperationDesktop& desktop = context.desktop;
    BusyCursor busy(desktop);
    archive::CheckedArchive checked;
    if (Refusal refused = OpenArchiveForCard(context, packagePath, checked)) return *refused;
    const MessageAnswer answer =
        desktop.ShowMessageBox(UpdateQuestion(context.state.fields.promptVersionText, checked.version),
                               MessageButtons::YesNo, MessageKind::Question);
    if (answer != MessageAnswer::Yes) return Outcome::Stopped(StopReason::Cancelled);
    // The question's modal loop may have let the drives change.
    if (Refusal refused = RunChecks(context, {Check::StillSelectedCard})) return *refused;

    desktop.Repaint();
    context.dialog.SetStatusPane(kActivityPane, text::kDeletingOldPrompts);
    context.dialog.SetStatusPane(kActivityPane, text::kUpdatingPrompts);
    Outcome outcome =
        ExtractOntoCard(context, checked, archive::PromptHandling::ReplaceCardPrompts, CardCoverage::Part);
    context.dialog.SetStatusPane(kActivityPane, text::kFinalizing);
    if (outcome.done())
        desktop.ShowMessageBox(std::string(text::kPromptUpdateComplete), MessageButtons::Ok,
                               MessageKind::Completion);
    return outcome;
}

}  // namespace

Outcome OnUpdatePrompts(OperationContext& context) {
    if (Refusal refused = RunChecks(context, {Check::CardSelected})) return *refused;
    context.dialog.RefreshCardStatus();
    if (Refusal refused =
            RunChecks(context, {Check::MediaPresent, Check::DriveInSlot, Check::StillSelectedCard,
                                Check::BackupFolder, Check::PromptsFolder, Check::DataFolder})) {
        return *refused;
    }
    auto packagePath = context.desktop.OpenFileDialog(PromptPackageOpenDialog());
    if (!packagePath || packagePath->empty()) return Outcome::Stopped(StopReason::Cancelled);

    context.desktop.Repaint();
    Outcome outcome = InstallPackage(context, *packagePath);
    if (outcome.kind == OutcomeKind::Stopped) return outcome;
    context.dialog.SetStatusPane(kActivityPane, text::kReady);
    context.dialog.RefreshCardStatus();
    context.dialog.Push();
    context.desktop.Repaint();
    return outcome;
}

}  // namespace vocell::operations
