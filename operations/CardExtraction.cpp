#include "operations/CardExtraction.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

#include "archive/InterruptedRestore.h"
#include "archive/RestoreSpace.h"
#include "archive/RestoreVerification.h"
#include "common/Messages.h"
#include "operations/DesktopScopes.h"
#include "operations/OperationMessages.h"
#include "operations/ProgressEstimate.h"

namespace vocell::operations {
namespace {

// The progress bar of one pass over an archive, there from the pass's first block to its end: it
// takes its steps as they come, and at the paced ones shows them with the newest reading while
// the window keeps answering the system.
class PacedProgressBar final : public archive::ExtractionProgress {
public:
    PacedProgressBar(OperationContext& context, std::string_view doneWord)
        : context_(context), doneWord_(doneWord), clock_(ClockOf(context.state)), pacer_(clock_) {}
    void Begin(std::uint64_t archiveLength) override {
        estimate_.emplace(archiveLength, doneWord_, clock_);
        bar_.emplace(context_.desktop, context_.dialog.ProgressBarArea());
    }
    void Step() override { position_ = std::min(position_ + 1, ProgressReport::kSteps); }
    void Working(std::uint64_t consumed) override {
        if (!pacer_.Due()) return;
        if (bar_) {
            const std::uint64_t total = estimate_->total();
            bar_->Show({position_, std::min(consumed, total), total, estimate_->Reading(consumed)});
        }
        context_.desktop.KeepResponding();
    }

private:
    OperationContext& context_;
    std::string_view doneWord_;
    ScreenPacer::Clock clock_;
    ScreenPacer pacer_;
    std::optional<ProgressEstimate> estimate_;
    std::optional<ProgressBar> bar_;
    int position_ = 0;
};

StopReason ReasonFor(archive::ArchiveFault fault) {
    switch (fault) {
        case archive::ArchiveFault::Unreadable: return StopReason::ArchiveUnreadable;
        case archive::ArchiveFault::Damaged: return StopReason::ArchiveDamaged;
        case archive::ArchiveFault::OnTheCard: return StopReason::ArchiveOnCard;
        case archive::ArchiveFault::None: break;
    }
    return StopReason::None;
}

// The message of an extraction that stopped, and its outcome's reason.
StopReason ReportStop(OperationContext& context, const archive::ExtractionResult& result) {
    auto show = [&](const std::string& text) {
        context.desktop.ShowMessageBox(text, MessageButtons::Ok, MessageKind::Notice);
    };
    switch (result.stop) {
        case archive::ExtractionStop::None: return StopReason::None;
        case archive::ExtractionStop::NoCard:
            show(std::string(text::kPleaseSelectDevice));
            return StopReason::CardNoLongerSelected;
        case archive::ExtractionStop::CardFull:
            show(result.cardChanged
                     ? std::string(text::kCardFull)
                     : std::string(text::kCardFullToStart) + std::string(text::kCardNotChanged));
            return StopReason::CardFull;
        case archive::ExtractionStop::WriteError:
            show(std::string(text::kCardWriteError) +
                 std::string(result.cardChanged ? std::string_view() : text::kCardNotChanged));
            return StopReason::WriteError;
        case archive::ExtractionStop::ArchiveUnreadable:
            show(ArchiveUnreadableMessage(result.archiveProblem));
            return StopReason::ArchiveUnreadable;
        case archive::ExtractionStop::ArchiveDamaged:
            show(InvalidArchiveMessage(result.archiveProblem, false) +
                 std::string(text::kCardChangedPartWay));
            return StopReason::ArchiveDamaged;
        case archive::ExtractionStop::ArchiveChanged:
            show(std::string(text::kArchiveChanged) +
                 std::string(result.cardChanged ? text::kCardChangedPartWay : text::kCardNotChanged));
            return StopReason::ArchiveChanged;
    }
    return StopReason::None;
}

}  // namespace

Refusal OpenArchiveForCard(OperationContext& context, const std::string& archivePath,
                           archive::CheckedArchive& archive) {
    {
        // The check reads the whole archive before anything else happens.
        BusyCursor busy(context.desktop);
        PacedProgressBar bar(context, text::kProgressChecked);
        archive = archive::OpenCheckedArchive(context.fileSystem, archivePath, context.state.slots.cardRoot(),
                                              &bar);
    }
    if (archive.check.sound()) return std::nullopt;
    context.desktop.ShowMessageBox(ArchiveCheckMessage(archive.check), MessageButtons::Ok,
                                   MessageKind::Notice);
    return Outcome::Stopped(ReasonFor(archive.check.fault));
}

namespace {

// The extraction under the interrupted-restore mark, then the files read back from the medium
// when that is asked for. A card left as it was carries no mark of this run; an earlier run's
// mark goes only with a whole backup restored as stored.
archive::ExtractionResult ExtractUnderMark(OperationContext& context, archive::CheckedArchive& archive,
                                           archive::PromptHandling prompts, CardCoverage coverage) {
    const std::string cardRoot = context.state.slots.cardRoot();
    FileSystem& fileSystem = context.fileSystem;
    archive::ExtractionResult result;
    const bool markedBefore = archive::RestoreWasInterrupted(fileSystem, cardRoot);
    if (markedBefore) archive::RemoveUnfinishedFiles(fileSystem, cardRoot);
    if (FsStatus marked = markedBefore ? FsStatus{} : archive::MarkRestoreStarted(fileSystem, cardRoot);
        !marked.ok()) {
        result.stop = marked.error == FsError::DiskFull ? archive::ExtractionStop::CardFull
                                                        : archive::ExtractionStop::WriteError;
        return result;
    }
    {
        PacedProgressBar bar(context, text::kProgressWritten);
        result = archive::ExtractCheckedArchive(fileSystem, archive, cardRoot, prompts, bar);
    }
    if (result.completed() && context.state.verifyWrites) {
        context.dialog.SetStatusPane(kActivityPane, text::kVerifyingData);
        PacedProgressBar bar(context, text::kProgressCompared);
        result.notReadBack =
            archive::VerifyRestoredFiles(fileSystem, archive, cardRoot, prompts, result, bar);
        if (!result.notReadBack.empty()) result.entryFailedOnCard = true;
    }
    const bool finished = result.cardAsStored() && (!markedBefore || coverage == CardCoverage::WholeBackup);
    const bool untouched = !result.cardChanged && !markedBefore;
    if ((finished || untouched) && !archive::MarkRestoreFinished(fileSystem, cardRoot).ok() &&
        result.completed()) {
        result.stop = archive::ExtractionStop::WriteError;
        result.cardChanged = true;
    }
    return result;
}

}  // namespace

Outcome ExtractOntoCard(OperationContext& context, archive::CheckedArchive& archive,
                        archive::PromptHandling prompts, CardCoverage coverage) {
    const std::string cardRoot = context.state.slots.cardRoot();
    if (auto shortfall = archive::FindSpaceShortfall(context.fileSystem, archive, cardRoot, prompts)) {
        context.desktop.ShowMessageBox(TooLittleSpaceMessage(shortfall->neededBytes, shortfall->freeBytes),
                                       MessageButtons::Ok, MessageKind::Notice);
        return Outcome::Stopped(StopReason::TooLittleSpace);
    }
    const archive::ExtractionResult result = ExtractUnderMark(context, archive, prompts, coverage);
    const StopReason stop = ReportStop(context, result);
    auto report = [&](const std::vector<archive::NamedEntry>& entries,
                      std::string (*message)(const std::vector<archive::NamedEntry>&)) {
        if (!entries.empty())
            context.desktop.ShowMessageBox(message(entries), MessageButtons::Ok, MessageKind::Notice);
    };
    report(result.notRestored, NotRestoredMessage);
    report(result.notAsStored, NotAsStoredMessage);
    report(result.storedIncomplete, StoredIncompleteMessage);
    report(result.notReadBack, NotReadBackMessage);
    std::vector<archive::NamedEntry> named = result.notRestored;
    for (const auto* list : {&result.notAsStored, &result.storedIncomplete, &result.notReadBack}) {
        named.insert(named.end(), list->begin(), list->end());
    }
    if (stop != StopReason::None) return Outcome::Failed(stop, std::move(named));
    if (!named.empty()) return Outcome::Partial(std::move(named));
    return Outcome::Done();
}

}  // namespace vocell::operations
