#pragma once
// How a card operation ended. The dialog, the command line and the window systems act on this,
// never on the text of a message that was shown.

#include <cstdint>
#include <utility>
#include <vector>

#include "archive/NamedEntry.h"

namespace vocell::operations {

enum class OutcomeKind {
    Done,     // finished as asked
    Stopped,  // stopped before the card (or an earlier backup) changed
    Partial,  // finished, with named entries left out, not written or not written as stored
    Failed,   // ended part-way; the card holds what was written before
};

enum class StopReason {
    None,
    NoCardSelected,           // the Status field still reads "Card Not Selected"
    NoMedia,                  // the drive holds no medium
    NoDriveInSlot,            // the selected entry has no drive
    InstallFolderMissing,     // an install folder is missing
    CardNoLongerSelected,     // the drive the user selected is gone or another took its slot
    Cancelled,                // the user cancelled a dialog or answered No or Cancel
    ArchiveUnreadable,        // the chosen archive could not be read
    ArchiveDamaged,           // the chosen archive is not a valid card archive
    ArchiveOnCard,            // the chosen archive lies on the card itself
    ArchiveChanged,           // the chosen archive changed after it was checked
    InitialStructureMissing,  // the installed initial card structure is missing
    PromptsPresent,           // the card still holds prompts, so nothing was installed
    NotFormatted,             // the format was refused or failed, so nothing was installed
    BackupNotWritten,         // no archive was written
    TooLittleSpace,           // the card surely cannot hold the archive; nothing was written
    CardFull,                 // the card ran out of space
    WriteError,               // the card failed a write
};

struct [[nodiscard]] Outcome {
    OutcomeKind kind = OutcomeKind::Done;
    StopReason reason = StopReason::None;
    std::vector<archive::NamedEntry> entries;  // the entries the report named
    std::uint64_t pathsStored = 0;             // the folders and files a backup went through

    static Outcome Done() { return {}; }
    static Outcome Stopped(StopReason reason) { return {OutcomeKind::Stopped, reason, {}}; }
    static Outcome Partial(std::vector<archive::NamedEntry> entries) {
        return {OutcomeKind::Partial, StopReason::None, std::move(entries)};
    }
    static Outcome Failed(StopReason reason, std::vector<archive::NamedEntry> entries = {}) {
        return {OutcomeKind::Failed, reason, std::move(entries)};
    }
    [[nodiscard]] bool done() const { return kind == OutcomeKind::Done; }
};

}  // namespace vocell::operations
