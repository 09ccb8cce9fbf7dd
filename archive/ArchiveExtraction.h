#pragma once
// Extraction of a card archive onto the selected card: folders and files with their attribute
// words, times and content, the card's prompt folder deleted first (or kept). The extraction
// decides nothing about what the user is shown: it reports how it ended, and the card operations
// word that.

#include <cstdint>
#include <string>
#include <vector>

#include "archive/ArchiveCheck.h"
#include "archive/NamedEntry.h"
#include "platform/FileSystem.h"

namespace vocell::archive {

// How a pass over an archive (its check, an extraction, the read-back after it) comes on.
class ExtractionProgress {
public:
    virtual ~ExtractionProgress() = default;
    // Once, before the first block, with the archive's length in bytes.
    virtual void Begin(std::uint64_t /*archiveLength*/) {}
    // Called as the archive is consumed: at most once per entry, a hundred times in all.
    virtual void Step() = 0;
    // Called after every entry and at every piece of data read, written or compared, however
    // long one file takes, with the archive's bytes consumed so far, so that a window can keep
    // answering the system and say how far the pass has come.
    virtual void Working(std::uint64_t /*consumed*/) {}
};

// The hundred steps of a pass over an archive of archiveLength bytes: a step each time the bytes
// consumed pass the next hundredth, at most one per entry.
class ProgressSteps {
public:
    static constexpr std::uint64_t kSteps = 100;
    ProgressSteps(ExtractionProgress& progress, std::uint64_t archiveLength)
        : progress_(progress), stepSize_(archiveLength / kSteps) {
        progress_.Begin(archiveLength);
    }
    // After an entry: steps when consumed has passed the next threshold.
    void AfterEntry(std::uint64_t consumed);

private:
    ExtractionProgress& progress_;
    std::uint64_t stepSize_;
    std::uint64_t stepsTaken_ = 0;
};

enum class PromptHandling {
    ReplaceCardPrompts,  // the card's prompt folder is deleted before the first entry
    KeepCardPrompts,     // the card's prompt folder stays, the archive's prompt tree is passed over
};

// Why an extraction ended before the end of the archive.
enum class ExtractionStop {
    None,
    NoCard,             // there is no card root to write to; nothing was touched
    CardFull,           // the card has no room left
    WriteError,         // the card failed a write (or was taken out)
    ArchiveUnreadable,  // the archive could not be read again; archiveProblem says why
    ArchiveDamaged,     // the archive turned out damaged part-way; archiveProblem says how
    ArchiveChanged,     // the archive's size or last-write time changed after its check
};

struct [[nodiscard]] ExtractionResult {
    ExtractionStop stop = ExtractionStop::None;
    std::string archiveProblem;
    // Entries that could not be written, and why.
    std::vector<NamedEntry> notRestored;
    // Entries written whose attribute word or times could not be set as stored.
    std::vector<NamedEntry> notAsStored;
    // Files the archive holds only in part (their stream was cut short when they were backed
    // up), restored with the data it holds.
    std::vector<NamedEntry> storedIncomplete;
    // Files written whose content the medium gives back otherwise when read back, if it was.
    std::vector<NamedEntry> notReadBack;
    // Whether anything on the card was changed before the extraction ended.
    bool cardChanged = false;
    // Whether an entry the card should hold failed on the card: not written, not set as stored, or
    // an old prompt folder not deleted. Entries the archive itself rules out (a path leading
    // outside the card, a name the utility keeps for itself) do not count.
    bool entryFailedOnCard = false;

    [[nodiscard]] bool completed() const { return stop == ExtractionStop::None; }
    // The extraction ran to its end and every entry the card can hold is on it as stored.
    [[nodiscard]] bool cardAsStored() const { return completed() && !entryFailedOnCard; }
};

// How an entry whose stream was cut short is named: "stored incomplete in the archive (...)".
std::string StoredIncompleteReason(std::uint64_t heldBytes, std::uint64_t promisedBytes);

// Extracts a sound checked archive onto cardRoot, from its start.
ExtractionResult ExtractCheckedArchive(FileSystem& fileSystem, CheckedArchive& archive,
                                       const std::string& cardRoot, PromptHandling prompts,
                                       ExtractionProgress& progress);

// Extracts an open archive, positioned at its start, of archiveLength bytes.
ExtractionResult ExtractArchive(FileSystem& fileSystem, const std::string& cardRoot, FileReader& archive,
                                std::uint64_t archiveLength, PromptHandling prompts,
                                ExtractionProgress& progress);

// Deletes card root + "VM\PROMPTS" with everything below it.
FsStatus DeleteCardPrompts(FileSystem& fileSystem, const std::string& cardRoot);

}  // namespace vocell::archive
