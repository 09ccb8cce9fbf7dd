#pragma once
// Extraction of a card archive onto the selected card: folders and files with their attribute
// words, times and content, the card's prompt folder deleted first (or kept), a progress bar, and
// the card-full and write-error stops.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/ArchiveState.h"
#include "platform/FileSystem.h"

namespace vocell::archive {

struct NotRestoredEntry {
    std::string path;
    std::string reason;
};

class ExtractionListener {
public:
    virtual ~ExtractionListener() = default;
    virtual void BeginProgress() {}  // a bar with the range 0 to 100, at 0, step 1
    virtual void StepProgress() {}
    virtual void EndProgress() {}
    // A message box with an OK button.
    virtual void ShowMessage(const std::string& text) = 0;
};

enum class PromptHandling { ReplaceCardPrompts, KeepCardPrompts };

struct ExtractionResult {
    bool completed = false;  // the whole archive was consumed without a stop
    std::vector<NotRestoredEntry> notRestored;
    std::optional<std::string> archiveProblem;  // why the archive was rejected, if it was
};

// Whether an archive file can be extracted onto a card.
enum class ArchiveFault { None, Unreadable, Damaged, OnTheCard };
struct ArchiveCheck {
    ArchiveFault fault = ArchiveFault::None;
    std::string problem;  // what is wrong, for Unreadable and Damaged
    [[nodiscard]] bool sound() const { return fault == ArchiveFault::None; }
};
// An archive opened and checked; when sound, it is extracted through the same handle, so what was
// checked is what is written.
struct CheckedArchive {
    ArchiveCheck check;
    std::unique_ptr<FileReader> reader;
    std::uint64_t length = 0;
};
CheckedArchive OpenCheckedArchive(FileSystem& fileSystem, const std::string& archivePath,
                                  const std::string& cardRoot);
// The message that tells the user why an archive cannot be used.
std::string ArchiveCheckMessage(const ArchiveCheck& check);

// Checks the archive at archivePath and, only when it is sound, extracts it onto cardRoot,
// reading it through one handle. An archive that cannot be used is refused with a message and
// the card, its prompt folder included, is left untouched.
ExtractionResult ExtractArchiveFile(FileSystem& fileSystem, ArchiveState& state,
                                    const std::string& archivePath, const std::string& cardRoot,
                                    PromptHandling prompts, ExtractionListener& listener);
ExtractionResult ExtractCheckedArchive(FileSystem& fileSystem, ArchiveState& state, CheckedArchive& archive,
                                       const std::string& cardRoot, PromptHandling prompts,
                                       ExtractionListener& listener);

// Extracts an open archive, positioned at its start, of archiveLength bytes.
ExtractionResult ExtractArchive(FileSystem& fileSystem, ArchiveState& state, const std::string& cardRoot,
                                FileReader& archive, std::uint64_t archiveLength,
                                ExtractionListener& listener);
// The same, leaving the card's prompt folder as it is and passing over the archive's prompt tree.
ExtractionResult ExtractArchiveKeepingPrompts(FileSystem& fileSystem, ArchiveState& state,
                                              const std::string& cardRoot, FileReader& archive,
                                              std::uint64_t archiveLength, ExtractionListener& listener);

// Deletes card root + "VM\PROMPTS" with everything below it.
FsStatus DeleteCardPrompts(FileSystem& fileSystem, const std::string& cardRoot);

// What is wrong with an archive, if anything: its length, a truncated entry, a damaged header.
std::optional<std::string> ValidateArchive(FileReader& archive, std::uint64_t archiveLength);

}  // namespace vocell::archive
