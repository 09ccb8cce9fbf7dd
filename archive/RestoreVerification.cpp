#include "archive/RestoreVerification.h"

#include <unordered_set>

#include "archive/ArchiveScanner.h"
#include "archive/BlockIO.h"
#include "archive/CardPaths.h"
#include "archive/ContentComparison.h"
#include "archive/NameClashes.h"

namespace vocell::archive {
namespace {

constexpr std::uint64_t kProgressSteps = 100;

// The files the extraction wrote, picked as it picked them.
class WrittenFiles {
public:
    WrittenFiles(FileSystem& fileSystem, const std::string& cardRoot, PromptHandling prompts,
                 const ExtractionResult& extracted)
        : cardRoot_(cardRoot), prompts_(prompts), clashes_(fileSystem.MergesNameVariants(cardRoot)) {
        for (const NamedEntry& entry : extracted.notRestored) notWritten_.insert(entry.path);
    }

    // Whether the entry is a file the extraction wrote at path; every entry is to be seen in turn.
    bool Wrote(const ScannedEntry& entry, const std::string& path) {
        if (LeavesCard(path) || IsInterruptedRestoreMarker(path, cardRoot_) || IsUnfinishedFileName(path)) {
            return false;
        }
        if (prompts_ == PromptHandling::KeepCardPrompts && IsInPromptTree(path, cardRoot_)) return false;
        if (entry.kind == EntryKind::Unsupported || !clashes_.Claim(path, entry.kind == EntryKind::Folder)) {
            return false;
        }
        return entry.kind == EntryKind::File && !notWritten_.contains(path);
    }

private:
    const std::string& cardRoot_;
    PromptHandling prompts_;
    NameClashes clashes_;
    std::unordered_set<std::string> notWritten_;
};

}  // namespace

std::vector<NamedEntry> VerifyRestoredFiles(FileSystem& fileSystem, CheckedArchive& archive,
                                            const std::string& cardRoot, PromptHandling prompts,
                                            const ExtractionResult& extracted, ExtractionProgress& progress) {
    std::vector<NamedEntry> differing;
    if (FsStatus rewound = archive.reader->Rewind(); !rewound.ok()) {
        differing.push_back({cardRoot, "the backup file could not be read again (" +
                                           fileSystem.DescribeError(rewound) +
                                           "), so nothing was read back"});
        return differing;
    }
    WrittenFiles written(fileSystem, cardRoot, prompts, extracted);
    std::vector<char> buffer(kIoBufferSize);
    const std::uint64_t stepSize = archive.length / kProgressSteps;
    std::uint64_t stepsTaken = 0;
    ArchiveScanner scanner(*archive.reader, archive.length);
    if (!scanner.ReadArchiveHeader()) return differing;
    while (scanner.NextEntry()) {
        const std::string path = MapToCard(scanner.entry().header.storedPath, cardRoot);
        if (written.Wrote(scanner.entry(), path)) {
            auto file = fileSystem.OpenReadFromMedium(path);
            if (!file.ok()) {
                differing.push_back({path, "it cannot be read back from the card (" +
                                               fileSystem.DescribeError(file.status()) + ")"});
            } else if (!ContentMatchesFile(scanner, *file.value(), buffer)) {
                differing.push_back({path, "the card gives back other content than the backup file holds"});
            }
        }
        if (scanner.consumed() > stepSize * std::max<std::uint64_t>(1, stepsTaken)) {
            progress.Step();
            ++stepsTaken;
        }
    }
    return differing;
}

}  // namespace vocell::archive
