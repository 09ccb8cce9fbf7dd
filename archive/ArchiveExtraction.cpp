#include "archive/ArchiveExtraction.h"

#include <algorithm>
#include <memory>

#include "archive/ArchiveScanner.h"
#include "archive/BlockIO.h"
#include "archive/CardPaths.h"
#include "archive/NameClashes.h"

namespace vocell::archive {
namespace {

// How far a failure on the card reaches: the whole extraction, or the one entry. A failed write
// of data always stops the extraction; a file or folder that cannot be created stops it only when
// the card itself fails.
ExtractionStop StopFor(const FsStatus& status, bool entryMayFail) {
    switch (status.error) {
        case FsError::DiskFull: return ExtractionStop::CardFull;
        case FsError::NotReady:
        case FsError::InvalidHandle:
        case FsError::Other: return ExtractionStop::WriteError;
        default: return entryMayFail ? ExtractionStop::None : ExtractionStop::WriteError;
    }
}

// One run of an extraction.
class Extraction {
public:
    Extraction(FileSystem& fileSystem, const std::string& cardRoot, PromptHandling prompts,
               ExtractionProgress& progress)
        : fileSystem_(fileSystem),
          cardRoot_(cardRoot),
          prompts_(prompts),
          progress_(progress),
          clashes_(cardRoot.size() >= kDriveRootLength && fileSystem.MergesNameVariants(cardRoot)) {}

    ExtractionResult Run(FileReader& archive, std::uint64_t archiveLength);

private:
    void ClearPrompts();
    bool ExtractEntry(ArchiveScanner& scanner);
    bool ExtractFolder(const std::string& path, const EntryHeader& header);
    bool ExtractFile(const std::string& path, ArchiveScanner& scanner);
    std::unique_ptr<FileWriter> CreateOnCard(const std::string& path);
    std::unique_ptr<FileWriter> OpenForWriting(const std::string& path);
    bool WriteContent(FileWriter& file, std::span<const char> bytes);
    bool FinishFile(std::unique_ptr<FileWriter> file, const std::string& path, const ScannedEntry& entry);
    void ApplyFolderAttributesAndTimes();
    void DropNewCopy(std::unique_ptr<FileWriter>& file, const std::string& path);
    void FailedOnCard(const std::string& path, std::string why, FsError error = FsError::Other);
    void NotAsStored(const std::string& path, std::string_view what, const FsStatus& status);
    // Stops on a failure; false when it did.
    bool StopOn(const FsStatus& status, bool entryMayFail);

    FileSystem& fileSystem_;
    const std::string& cardRoot_;
    PromptHandling prompts_;
    ExtractionProgress& progress_;
    NameClashes clashes_;
    ExtractionResult result_;
    // The scanner of the running extraction, for the bytes consumed.
    const ArchiveScanner* scanner_ = nullptr;
    std::vector<std::pair<std::string, EntryHeader>> folders_;
    std::vector<char> writeBuffer_;
    // Room left on the card for files written beside their old copies, as far as known.
    std::uint64_t roomForNewCopies_ = 0;
    // Where the current file's content goes: its path, or its temporary name beside it.
    std::string writtenPath_;
    // The current file's size as its record promises it.
    std::uint64_t promisedSize_ = 0;
};

// Besides the file itself, what a new copy may take: a cluster's rounding and the folder's growth.
constexpr std::uint64_t kRoomPerNewCopy = 64 * 1024;

ExtractionResult Extraction::Run(FileReader& archive, std::uint64_t archiveLength) {
    if (cardRoot_.size() < kDriveRootLength) {  // no card: no path may be built on it
        result_.stop = ExtractionStop::NoCard;
        return std::move(result_);
    }
    ProgressSteps steps(progress_, archiveLength);
    auto freeSpace = fileSystem_.FreeSpace(cardRoot_);
    roomForNewCopies_ = freeSpace.ok() ? freeSpace.value() : 0;
    ArchiveScanner scanner(archive, archiveLength);
    scanner_ = &scanner;
    if (scanner.ReadArchiveHeader()) {
        steps.AfterEntry(scanner.consumed());
        // An archive of its header block alone changes nothing on the card.
        if (scanner.consumed() < archiveLength) ClearPrompts();
        while (result_.completed() && scanner.NextEntry()) {
            if (!ExtractEntry(scanner)) break;
            steps.AfterEntry(scanner.consumed());
        }
    }
    scanner_ = nullptr;
    if (result_.completed() && scanner.problem()) {
        result_.stop = ExtractionStop::ArchiveDamaged;
        result_.archiveProblem = *scanner.problem();
    }
    // A card that failed a write (or was taken out) is not asked for every folder again: the
    // restore must run again anyway, and the report names what failed, not each folder after it.
    if (result_.stop != ExtractionStop::WriteError) ApplyFolderAttributesAndTimes();
    // Nothing is reported done before it is on the medium.
    if (result_.completed()) StopOn(fileSystem_.FlushVolume(cardRoot_), false);
    return std::move(result_);
}

void Extraction::ClearPrompts() {
    if (prompts_ == PromptHandling::KeepCardPrompts) return;
    FsStatus deleted = DeleteCardPrompts(fileSystem_, cardRoot_);
    if (deleted.error == FsError::NotFound || deleted.error == FsError::PathNotFound) return;
    result_.cardChanged = true;  // also by a deletion that failed part-way
    if (!deleted.ok()) {
        FailedOnCard(cardRoot_ + std::string(kPromptFolder),
                     "the old prompts could not be deleted (" + fileSystem_.DescribeError(deleted) + ")");
    }
}

// A path the card's file system cannot hold (a folder missing on the way, a name it refuses)
// fails at every restore of the archive alike; any other failure is the card's.
void Extraction::FailedOnCard(const std::string& path, std::string why, FsError error) {
    result_.notRestored.push_back({path, std::move(why)});
    if (error != FsError::PathNotFound) result_.entryFailedOnCard = true;
}

bool Extraction::StopOn(const FsStatus& status, bool entryMayFail) {
    if (status.ok()) return true;
    const ExtractionStop stop = StopFor(status, entryMayFail);
    if (stop == ExtractionStop::None) return true;
    result_.stop = stop;
    return false;
}

void Extraction::NotAsStored(const std::string& path, std::string_view what, const FsStatus& status) {
    result_.entryFailedOnCard = true;
    result_.notAsStored.push_back(
        {path, "its " + std::string(what) + " could not be set (" + fileSystem_.DescribeError(status) + ")"});
}

bool Extraction::ExtractEntry(ArchiveScanner& scanner) {
    const ScannedEntry& entry = scanner.entry();
    const std::string path = MapToCard(entry.header.storedPath, cardRoot_);
    if (LeavesCard(path)) {
        result_.notRestored.push_back({entry.header.storedPath, "its path leads outside the card"});
        return true;
    }
    if (prompts_ == PromptHandling::KeepCardPrompts && IsInPromptTree(path, cardRoot_)) return true;
    if (IsInterruptedRestoreMarker(path, cardRoot_) || IsUnfinishedFileName(path)) {
        result_.notRestored.push_back({path, "the utility keeps this name for its own use"});
        return true;
    }
    if (entry.kind != EntryKind::Unsupported && !clashes_.Claim(path, entry.kind == EntryKind::Folder)) {
        result_.notRestored.push_back(
            {path, "the card keeps one entry for its name and that of an entry restored before it"});
        return true;
    }
    switch (entry.kind) {
        case EntryKind::Folder: return ExtractFolder(path, entry.header);
        case EntryKind::File: return ExtractFile(path, scanner);
        case EntryKind::Unsupported:
            result_.notRestored.push_back({path, "the archive does not mark it as a file or a folder"});
            return true;
    }
    return true;
}

bool Extraction::ExtractFolder(const std::string& path, const EntryHeader& header) {
    FsStatus created = fileSystem_.CreateFolder(path);
    if (!created.ok()) {
        if (!StopOn(created, true)) return false;
        FailedOnCard(path, "the folder could not be created (" + fileSystem_.DescribeError(created) + ")",
                     created.error);
        return true;
    }
    result_.cardChanged = true;
    // Applied at the end: writing into a folder changes its times, and a read-only folder
    // would refuse the files that follow.
    folders_.emplace_back(path, header);
    return true;
}

std::unique_ptr<FileWriter> Extraction::CreateOnCard(const std::string& path) {
    auto created = fileSystem_.OpenWrite(path);
    if (!created.ok() && created.status().error == FsError::AccessDenied) {
        // A read-only file of that name is written over, as the archive's entry asks.
        auto attributes = fileSystem_.Attributes(path);
        if (attributes.ok() && (attributes.value() & FileAttribute::ReadOnly) != 0 &&
            fileSystem_.SetAttributes(path, attributes.value() & ~FileAttribute::ReadOnly).ok()) {
            result_.cardChanged = true;
            created = fileSystem_.OpenWrite(path);
        }
    }
    if (created.ok()) {
        result_.cardChanged = true;
        return std::move(created.value());
    }
    if (StopOn(created.status(), true)) {
        FailedOnCard(path,
                     "the file could not be written (" + fileSystem_.DescribeError(created.status()) + ")",
                     created.status().error);
    }
    return nullptr;
}

// A file new to the card is written under its own name: it has no old content a killed restore
// could tear (the card's mark says to restore again), and it needs no rename.
std::unique_ptr<FileWriter> Extraction::OpenForWriting(const std::string& path) {
    if (writtenPath_ != path) {
        auto created = fileSystem_.CreateNew(path);
        if (created.ok()) {
            result_.cardChanged = true;
            writtenPath_ = path;
            return std::move(created.value());
        }
        // Any failure but a name taken is met again, and reported, under the file's own name.
        if (created.status().error != FsError::AlreadyExists) writtenPath_ = path;
    }
    return CreateOnCard(writtenPath_);
}

bool Extraction::WriteContent(FileWriter& file, std::span<const char> bytes) {
    writeBuffer_.insert(writeBuffer_.end(), bytes.begin(), bytes.end());
    if (writeBuffer_.size() < kIoBufferSize && !bytes.empty()) return true;
    FsStatus written = file.Write(std::as_bytes(std::span<const char>(writeBuffer_)));
    writeBuffer_.clear();
    progress_.Working(scanner_->consumed());
    return StopOn(written, false);
}

bool Extraction::ExtractFile(const std::string& path, ArchiveScanner& scanner) {
    std::unique_ptr<FileWriter> file;
    bool skipped = false;
    writeBuffer_.clear();
    // Beside an old file of its name when the card has room for both, so that a restore killed
    // part-way leaves every old file either as it was or as the archive holds it; in place
    // otherwise.
    const std::optional<std::uint64_t> size = scanner.entry().recordContentSize;
    promisedSize_ = size.value_or(0);
    if (size && *size + kRoomPerNewCopy <= roomForNewCopies_) {
        roomForNewCopies_ -= *size + kRoomPerNewCopy;
        writtenPath_ = path + std::string(kNewFileSuffix);
    } else {
        writtenPath_ = path;
    }
    // The file is opened at its first content, so that an entry without data touches nothing.
    const bool read = scanner.ReadContent([&](std::span<const char> piece) {
        if (!file) file = OpenForWriting(path);
        if (!file) {
            skipped = true;
            return false;
        }
        return WriteContent(*file, piece);
    });
    if (!result_.completed() || skipped || !read) {
        DropNewCopy(file, path);
        // A file that could not be created is named; the entries after it are still restored (the
        // scanner passes over the rest of its data). Otherwise a failed read means damage in the
        // archive, and the scanner says how.
        return result_.completed() && (read || skipped);
    }
    if (!file) {
        if (!scanner.lastContentHadRecord()) {
            result_.notRestored.push_back({path, "the archive holds no readable data for it"});
            return true;
        }
        file = OpenForWriting(path);  // an empty file
        if (!file) return result_.completed();
    }
    return FinishFile(std::move(file), path, scanner.entry());
}

bool Extraction::FinishFile(std::unique_ptr<FileWriter> file, const std::string& path,
                            const ScannedEntry& entry) {
    const EntryHeader& header = entry.header;
    if (!WriteContent(*file, {})) {
        DropNewCopy(file, path);
        return false;
    }
    // Set after the data, so that writing does not replace them, and on the open file, so that
    // nothing asks the card for it by name again.
    FsStatus timesSet = file->SetTimes(header.times);
    FsStatus attributesSet = file->SetAttributes(header.attributes);
    if (!StopOn(file->Close(), false)) {
        DropNewCopy(file, path);
        return false;
    }
    if (writtenPath_ != path) {
        if (FsStatus renamed = fileSystem_.Rename(writtenPath_, path); !renamed.ok()) {
            DropNewCopy(file, path);
            if (StopOn(renamed, true)) {
                FailedOnCard(path,
                             "the file could not be replaced (" + fileSystem_.DescribeError(renamed) + ")",
                             renamed.error);
            }
            return result_.completed();
        }
    }
    if (!timesSet.ok()) NotAsStored(path, "times", timesSet);
    if (!attributesSet.ok()) NotAsStored(path, "attributes", attributesSet);
    if (entry.cutShort) {
        result_.storedIncomplete.push_back(
            {path, StoredIncompleteReason(entry.heldContentSize, entry.recordContentSize.value_or(0))});
    }
    return true;
}

// A new copy that will not take the old file's place must not stay beside it. What cannot be
// removed now is removed by the next restore, which the interrupted-restore marker asks for.
// A file written under its own name stays as far as it was written, and is named.
void Extraction::DropNewCopy(std::unique_ptr<FileWriter>& file, const std::string& path) {
    const bool opened = file != nullptr;
    if (file) static_cast<void>(file->Close());
    file.reset();
    if (writtenPath_ != path) {
        static_cast<void>(fileSystem_.RemoveFile(writtenPath_));
    } else if (opened) {
        auto left = fileSystem_.FileSize(path);
        FailedOnCard(path, left.ok() ? "it was left incomplete on the card (" + std::to_string(left.value()) +
                                           " of " + std::to_string(promisedSize_) + " bytes)"
                                     : std::string("it may have been left incomplete on the card"));
    }
}

void Extraction::ApplyFolderAttributesAndTimes() {
    for (auto it = folders_.rbegin(); it != folders_.rend(); ++it) {
        if (FsStatus set = fileSystem_.SetTimes(it->first, it->second.times); !set.ok()) {
            NotAsStored(it->first, "times", set);
        }
        if (FsStatus set = fileSystem_.SetAttributes(it->first, it->second.attributes); !set.ok()) {
            NotAsStored(it->first, "attributes", set);
        }
    }
}

}  // namespace

void ProgressSteps::AfterEntry(std::uint64_t consumed) {
    if (consumed > stepSize_ * std::max<std::uint64_t>(1, stepsTaken_)) {
        progress_.Step();
        ++stepsTaken_;
    }
    progress_.Working(consumed);
}

std::string StoredIncompleteReason(std::uint64_t heldBytes, std::uint64_t promisedBytes) {
    return "stored incomplete in the archive (" + std::to_string(heldBytes) + " of " +
           std::to_string(promisedBytes) + " bytes)";
}

ExtractionResult ExtractArchive(FileSystem& fileSystem, const std::string& cardRoot, FileReader& archive,
                                std::uint64_t archiveLength, PromptHandling prompts,
                                ExtractionProgress& progress) {
    return Extraction(fileSystem, cardRoot, prompts, progress).Run(archive, archiveLength);
}

namespace {

// Whether the archive is still the file that was checked.
bool Unchanged(CheckedArchive& archive) {
    auto stamp = archive.reader->Stamp();
    return stamp.ok() && stamp.value() == archive.stamp;
}

}  // namespace

ExtractionResult ExtractCheckedArchive(FileSystem& fileSystem, CheckedArchive& archive,
                                       const std::string& cardRoot, PromptHandling prompts,
                                       ExtractionProgress& progress) {
    ExtractionResult refused;
    if (FsStatus rewound = archive.reader->Rewind(); !rewound.ok()) {
        refused.stop = ExtractionStop::ArchiveUnreadable;
        refused.archiveProblem = fileSystem.DescribeError(rewound);
        return refused;
    }
    // Another program may write the file between its check and now: what was checked is used.
    if (!Unchanged(archive)) {
        refused.stop = ExtractionStop::ArchiveChanged;
        return refused;
    }
    ExtractionResult result =
        ExtractArchive(fileSystem, cardRoot, *archive.reader, archive.length, prompts, progress);
    if (result.stop == ExtractionStop::None && !Unchanged(archive))
        result.stop = ExtractionStop::ArchiveChanged;
    return result;
}

FsStatus DeleteCardPrompts(FileSystem& fileSystem, const std::string& cardRoot) {
    return fileSystem.DeleteTree(cardRoot + std::string(kPromptFolder));
}

}  // namespace vocell::archive
