#include "archive/RestoreVerification.h"

#include <deque>
#include <optional>
#include <unordered_set>
#include <utility>

#include "archive/ArchiveScanner.h"
#include "archive/BlockIO.h"
#include "archive/CardPaths.h"
#include "archive/ContentComparison.h"
#include "archive/NameClashes.h"

namespace vocell::archive {
namespace {

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

// Opens the files to be read back a few ahead of the one being compared, each asked for from the
// medium as it is opened, so that the medium is read for the next files while one is compared:
// a card of many small files would otherwise wait for the medium at every file. A second
// scanner over the archive runs ahead to name them; what it finds is only a hint, and a file not
// opened ahead is opened when it is reached.
class FilesAhead {
public:
    FilesAhead(FileSystem& fileSystem, CheckedArchive& archive, const std::string& cardRoot,
               PromptHandling prompts, const ExtractionResult& extracted)
        : fileSystem_(fileSystem), cardRoot_(cardRoot), written_(fileSystem, cardRoot, prompts, extracted) {
        auto lead = fileSystem.OpenRead(archive.path);
        if (!lead.ok()) return;
        leadReader_ = std::move(lead.value());
        lead_.emplace(*leadReader_, archive.length, kIoBufferSize);  // it only names what comes
        if (!lead_->ReadArchiveHeader()) lead_.reset();
    }

    FsResult<std::unique_ptr<FileReader>> Open(const std::string& path) {
        while (opened_.size() < kFilesAhead && lead_ && lead_->NextEntry()) {
            const std::string ahead = MapToCard(lead_->entry().header.storedPath, cardRoot_);
            if (written_.Wrote(lead_->entry(), ahead))
                opened_.emplace_back(ahead, fileSystem_.OpenReadFromMedium(ahead));
        }
        if (!opened_.empty() && opened_.front().first == path) {
            FsResult<std::unique_ptr<FileReader>> file = std::move(opened_.front().second);
            opened_.pop_front();
            return file;
        }
        opened_.clear();
        lead_.reset();  // out of step: no more reading ahead
        return fileSystem_.OpenReadFromMedium(path);
    }

private:
    static constexpr std::size_t kFilesAhead = 16;

    FileSystem& fileSystem_;
    const std::string& cardRoot_;
    WrittenFiles written_;
    std::unique_ptr<FileReader> leadReader_;
    std::optional<ArchiveScanner> lead_;
    std::deque<std::pair<std::string, FsResult<std::unique_ptr<FileReader>>>> opened_;
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
    FilesAhead files(fileSystem, archive, cardRoot, prompts, extracted);
    std::vector<char> buffer(kIoBufferSize);
    ProgressSteps steps(progress, archive.length);
    ArchiveScanner scanner(*archive.reader, archive.length);
    if (!scanner.ReadArchiveHeader()) return differing;
    while (scanner.NextEntry()) {
        const std::string path = MapToCard(scanner.entry().header.storedPath, cardRoot);
        if (written.Wrote(scanner.entry(), path)) {
            auto file = files.Open(path);
            if (!file.ok()) {
                differing.push_back({path, "it cannot be read back from the card (" +
                                               fileSystem.DescribeError(file.status()) + ")"});
            } else if (!ContentMatchesFile(scanner, *file.value(), buffer,
                                           [&] { progress.Working(scanner.consumed()); })) {
                differing.push_back({path, "the card gives back other content than the backup file holds"});
            }
        }
        steps.AfterEntry(scanner.consumed());
    }
    return differing;
}

}  // namespace vocell::archive
