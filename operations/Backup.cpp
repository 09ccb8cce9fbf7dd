// Backup: saves the selected card's whole tree into one archive. The card is only read.

#include <optional>
#include <string>
#include <utility>

#include "archive/ArchiveCheck.h"
#include "archive/CardBackup.h"
#include "common/Messages.h"
#include "operations/CardOperations.h"
#include "operations/InstallFolders.h"
#include "operations/OperationMessages.h"
#include "operations/PreChecks.h"
#include "operations/ProgressEstimate.h"

namespace vocell::operations {
namespace {

// Pane 1 shows the path the archive writer is storing and how far the backup has come, the
// newest at each paced step, and the window keeps answering the system while a long file is
// stored.
class StoredPathPane final : public archive::ArchiveWriterListener {
public:
    StoredPathPane(OperationContext& context, ScreenPacer& pacer, std::uint64_t expectedLength)
        : dialog_(context.dialog),
          desktop_(context.desktop),
          pacer_(pacer),
          estimate_(expectedLength, text::kProgressWritten, ClockOf(context.state)) {}
    void ShowStoredPath(std::string_view storedPath) override {
        ++pathsStored_;
        newest_.assign(storedPath);
        Draw();
    }
    void StoringData(std::uint64_t archiveBytes) override {
        written_ = archiveBytes;
        Draw();
    }

    [[nodiscard]] std::uint64_t pathsStored() const { return pathsStored_; }

private:
    void Draw() {
        if (!pacer_.Due()) return;
        std::string text = estimate_.Reading(written_);
        if (!newest_.empty()) text = newest_ + std::string(text::kPathAndProgress) + text;
        if (text != shown_) {
            dialog_.SetStatusPane(kDetailPane, text);
            shown_ = std::move(text);
        }
        desktop_.KeepResponding();
    }

    DialogView& dialog_;
    OperationDesktop& desktop_;
    ScreenPacer& pacer_;
    ProgressEstimate estimate_;
    std::uint64_t pathsStored_ = 0;
    std::uint64_t written_ = 0;
    std::string newest_;
    std::string shown_;
};

}  // namespace

Outcome OnBackup(OperationContext& context) {
    if (Refusal refused = RunChecks(context, {Check::CardSelected, Check::MediaPresent})) return *refused;
    context.dialog.RefreshCardStatus();
    if (Refusal refused = RunChecks(context, {Check::MediaPresent, Check::DriveInSlot,
                                              Check::StillSelectedCard, Check::BackupFolder})) {
        return *refused;
    }
    return BackupToArchive(context);
}

Outcome BackupToArchive(OperationContext& context) {
    OperationDesktop& desktop = context.desktop;
    // The card's listings give the archive's length, which the time left is told from: the
    // desktop may read them while the user names the archive, and the rest are read after.
    std::optional<archive::TreeMeasure> cardTree(std::in_place, context.fileSystem,
                                                 context.state.slots.cardRoot());
    desktop.WorkWhileNextFileDialogWaits([&cardTree] { return cardTree->Step(); });
    auto archivePath = desktop.SaveFileDialog(BackupSaveDialog());
    if (!archivePath || archivePath->empty()) return Outcome::Stopped(StopReason::Cancelled);
    // The dialog's modal loop may have let the drives change.
    if (Refusal refused = RunChecks(context, {Check::StillSelectedCard})) return *refused;
    // An archive written onto the card would end up in itself and change the card it saves.
    const std::string archiveFolder = archivePath->substr(0, archivePath->find_last_of('\\') + 1);
    if (archive::LiesOnCard(context.fileSystem, archiveFolder, context.state.slots.cardRoot())) {
        desktop.ShowMessageBox(std::string(text::kBackupOnCard), MessageButtons::Ok, MessageKind::Notice);
        return Outcome::Stopped(StopReason::ArchiveOnCard);
    }

    desktop.Repaint();
    archive::BackupOutcome backup;
    std::uint64_t pathsStored = 0;
    {
        BusyCursor busy(desktop);
        context.dialog.SetStatusPane(kActivityPane, text::kBackingUpData);
        const std::string cardRoot = context.state.slots.cardRoot();
        // A card taken out while the dialog was open is measured again now that it is back.
        if (cardTree->folder() != cardRoot || !cardTree->allListed()) {
            cardTree.emplace(context.fileSystem, cardRoot);
        }
        ScreenPacer pacer = PacerFor(context.state);
        const std::uint64_t expectedLength = archive::ExpectedBackupLength(*cardTree, [&] {
            if (pacer.Due()) desktop.KeepResponding();
        });
        StoredPathPane pane(context, pacer, expectedLength);
        backup = archive::WriteCardBackup(context.fileSystem, cardRoot, *archivePath,
                                          context.state.fields.promptVersionText, pane);
        pathsStored = pane.pathsStored();
        context.dialog.SetStatusPane(kDetailPane, "");
        context.dialog.SetStatusPane(kActivityPane, text::kReady);
    }
    Outcome outcome = Outcome::Done();
    if (!backup.written()) {
        desktop.ShowMessageBox(BackupFailedMessage(backup, context.fileSystem), MessageButtons::Ok,
                               MessageKind::Notice);
        outcome = Outcome::Failed(StopReason::BackupNotWritten, backup.leftOut);
    } else if (!backup.complete()) {
        desktop.ShowMessageBox(BackupIncompleteMessage(backup.leftOut, *archivePath, backup.savedAs),
                               MessageButtons::Ok, MessageKind::Notice);
        outcome = Outcome::Partial(backup.leftOut);
    } else {
        desktop.ShowMessageBox(std::string(text::kBackupComplete), MessageButtons::Ok,
                               MessageKind::Completion);
    }
    if (!backup.unfinishedBeside.empty()) {
        desktop.ShowMessageBox(UnfinishedBackupsMessage(backup.unfinishedBeside), MessageButtons::Ok,
                               MessageKind::Notice);
    }
    outcome.pathsStored = pathsStored;
    return outcome;
}

}  // namespace vocell::operations
