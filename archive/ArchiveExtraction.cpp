#include "archive/ArchiveExtraction.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "archive/ArchiveMessages.h"
#include "archive/ArchiveScanner.h"
#include "archive/CardPaths.h"
#include "common/Messages.h"

namespace vocell::archive {
namespace {

constexpr std::uint64_t kProgressSteps = 100;

// How far a failure on the card reaches: the whole extraction, or the one entry.
enum class Reach { CardFull, WriteError, EntryOnly };

Reach ReachOf(FsStatus status) {
    switch (status.error) {
        case FsError::DiskFull: return Reach::CardFull;
        case FsError::NotReady:
        case FsError::InvalidHandle:
        case FsError::Other: return Reach::WriteError;
        default: return Reach::EntryOnly;
    }
}

// One run of an extraction.
class Extraction {
public:
    Extraction(FileSystem& fileSystem, ArchiveState& state, const std::string& cardRoot,
               PromptHandling prompts, ExtractionListener& listener)
        : fileSystem_(fileSystem),
          state_(state),
          cardRoot_(cardRoot),
          prompts_(prompts),
          listener_(listener) {}

    ExtractionResult Run(FileReader& archive, std::uint64_t archiveLength);

private:
    void ClearPromptsOnce();
    bool ExtractEntry(ArchiveScanner& scanner);
    bool ExtractFolder(const std::string& path, const EntryHeader& header);
    bool ExtractFile(const std::string& path, const EntryHeader& header, ArchiveScanner& scanner);
    std::unique_ptr<FileWriter> CreateOnCard(const std::string& path);
    bool WriteContent(FileWriter& file, std::span<const char> bytes);
    bool FinishFile(std::unique_ptr<FileWriter> file, const std::string& path, const EntryHeader& header);
    void ApplyFolderAttributesAndTimes();
    void NotRestored(const std::string& path, std::string reason);
    bool StopOn(FsStatus status);
    void Stop(std::string message);
    void StepProgress(std::uint64_t consumed);

    FileSystem& fileSystem_;
    ArchiveState& state_;
    const std::string& cardRoot_;
    PromptHandling prompts_;
    ExtractionListener& listener_;
    ExtractionResult result_;
    bool stopped_ = false;
    std::uint64_t stepSize_ = 0;
    std::uint64_t stepsTaken_ = 0;
    std::vector<std::pair<std::string, EntryHeader>> folders_;
    std::vector<char> writeBuffer_;
};

ExtractionResult Extraction::Run(FileReader& archive, std::uint64_t archiveLength) {
    state_.extractionFailed = false;
    if (cardRoot_.size() < kDriveRootLength) {  // no card: no path may be built on it
        Stop(std::string(text::kPleaseSelectDevice));
        return result_;
    }
    listener_.BeginProgress();
    stepSize_ = archiveLength / kProgressSteps;
    ArchiveScanner scanner(archive, archiveLength);
    if (scanner.ReadArchiveHeader()) {
        StepProgress(scanner.consumed());
        if (scanner.consumed() < archiveLength) ClearPromptsOnce();
        while (!stopped_ && scanner.NextEntry()) {
            if (!ExtractEntry(scanner)) break;
            StepProgress(scanner.consumed());
        }
    }
    if (!stopped_ && scanner.problem()) {
        result_.archiveProblem = scanner.problem();
        Stop(InvalidArchiveMessage(*scanner.problem(), false));
    }
    ApplyFolderAttributesAndTimes();
    if (!stopped_) {
        FsStatus flushed = fileSystem_.FlushVolume(cardRoot_);
        if (!flushed.ok()) StopOn(flushed);
    }
    if (!result_.notRestored.empty()) {
        state_.extractionFailed = true;
        listener_.ShowMessage(NotRestoredMessage(result_.notRestored));
    }
    result_.completed = !stopped_;
    listener_.EndProgress();
    return result_;
}

void Extraction::ClearPromptsOnce() {
    if (state_.promptsCleared) return;
    state_.promptsCleared = true;
    if (prompts_ == PromptHandling::KeepCardPrompts) return;
    FsStatus deleted = DeleteCardPrompts(fileSystem_, cardRoot_);
    if (!deleted.ok() && deleted.error != FsError::NotFound && deleted.error != FsError::PathNotFound) {
        NotRestored(cardRoot_ + std::string(kPromptFolder),
                    "the old prompts could not be deleted (" + fileSystem_.DescribeError(deleted) + ")");
    }
}

void Extraction::StepProgress(std::uint64_t consumed) {
    if (consumed > stepSize_ * std::max<std::uint64_t>(1, stepsTaken_)) {
        listener_.StepProgress();
        ++stepsTaken_;
    }
}

void Extraction::NotRestored(const std::string& path, std::string reason) {
    result_.notRestored.push_back({path, std::move(reason)});
}

void Extraction::Stop(std::string message) {
    stopped_ = true;
    state_.extractionFailed = true;
    listener_.ShowMessage(message);
}

// Stops on a failure that concerns the whole card; false when it did.
bool Extraction::StopOn(FsStatus status) {
    switch (ReachOf(status)) {
        case Reach::CardFull: Stop(std::string(text::kCardFull)); return false;
        case Reach::WriteError: Stop(std::string(text::kCardWriteError)); return false;
        case Reach::EntryOnly: return true;
    }
    return true;
}

bool Extraction::ExtractEntry(ArchiveScanner& scanner) {
    const ScannedEntry& entry = scanner.entry();
    const std::string path = MapToCard(entry.header.storedPath, cardRoot_);
    if (LeavesCard(path)) {
        NotRestored(entry.header.storedPath, "its path leads outside the card");
        return true;
    }
    if (prompts_ == PromptHandling::KeepCardPrompts && IsInPromptTree(path, cardRoot_)) return true;
    switch (entry.kind) {
        case EntryKind::Folder: return ExtractFolder(path, entry.header);
        case EntryKind::File: return ExtractFile(path, entry.header, scanner);
        case EntryKind::Unsupported:
            NotRestored(path, "the archive does not mark it as a file or a folder");
            return true;
    }
    return true;
}

bool Extraction::ExtractFolder(const std::string& path, const EntryHeader& header) {
    FsStatus created = fileSystem_.CreateFolder(path);
    if (!created.ok()) {
        if (!StopOn(created)) return false;
        NotRestored(path, "the folder could not be created (" + fileSystem_.DescribeError(created) + ")");
        return true;
    }
    // Applied at the end: writing into a folder changes its times, and a read-only folder
    // would refuse the files that follow.
    folders_.emplace_back(path, header);
    return true;
}

std::unique_ptr<FileWriter> Extraction::CreateOnCard(const std::string& path) {
    auto created = fileSystem_.OpenWrite(path);
    if (!created.ok() && created.status().error == FsError::AccessDenied) {
        auto attributes = fileSystem_.Attributes(path);
        if (attributes.ok() && (attributes.value() & FileAttribute::ReadOnly) != 0 &&
            fileSystem_.SetAttributes(path, attributes.value() & ~FileAttribute::ReadOnly).ok()) {
            created = fileSystem_.OpenWrite(path);
        }
    }
    if (created.ok()) return std::move(created.value());
    if (StopOn(created.status())) {
        NotRestored(path,
                    "the file could not be written (" + fileSystem_.DescribeError(created.status()) + ")");
    }
    return nullptr;
}

bool Extraction::WriteContent(FileWriter& file, std::span<const char> bytes) {
    writeBuffer_.insert(writeBuffer_.end(), bytes.begin(), bytes.end());
    if (writeBuffer_.size() < kIoBufferSize && !bytes.empty()) return true;
    FsStatus written = file.Write(std::as_bytes(std::span<const char>(writeBuffer_)));
    writeBuffer_.clear();
    if (written.ok()) return true;
    if (ReachOf(written) == Reach::CardFull) {
        Stop(std::string(text::kCardFull));
    } else {
        Stop(std::string(text::kCardWriteError));
    }
    return false;
}

bool Extraction::ExtractFile(const std::string& path, const EntryHeader& header, ArchiveScanner& scanner) {
    std::unique_ptr<FileWriter> file;
    bool skipped = false;
    writeBuffer_.clear();
    // The file is opened at its first content, so that an entry without data touches nothing.
    bool read = scanner.ReadContent([&](std::span<const char> piece) {
        if (!file) file = CreateOnCard(path);
        if (!file) {
            skipped = true;
            return false;
        }
        return WriteContent(*file, piece);
    });
    if (stopped_ || skipped) return !stopped_;
    if (!read) return false;  // the archive is damaged; the scanner says how
    if (!file) {
        if (!scanner.lastContentHadRecord()) {
            NotRestored(path, "the archive holds no readable data for it");
            return true;
        }
        file = CreateOnCard(path);  // an empty file
        if (!file) return !stopped_;
    }
    return FinishFile(std::move(file), path, header);
}

bool Extraction::FinishFile(std::unique_ptr<FileWriter> file, const std::string& path,
                            const EntryHeader& header) {
    if (!WriteContent(*file, {})) return false;
    file->SetTimes(header.times);
    FsStatus closed = file->Close();
    if (!closed.ok()) {
        Stop(std::string(ReachOf(closed) == Reach::CardFull ? text::kCardFull : text::kCardWriteError));
        return false;
    }
    fileSystem_.SetAttributes(path, header.attributes);
    return true;
}

void Extraction::ApplyFolderAttributesAndTimes() {
    for (auto it = folders_.rbegin(); it != folders_.rend(); ++it) {
        fileSystem_.SetTimes(it->first, it->second.times);
        fileSystem_.SetAttributes(it->first, it->second.attributes);
    }
}

}  // namespace

ExtractionResult ExtractArchive(FileSystem& fileSystem, ArchiveState& state, const std::string& cardRoot,
                                FileReader& archive, std::uint64_t archiveLength,
                                ExtractionListener& listener) {
    return Extraction(fileSystem, state, cardRoot, PromptHandling::ReplaceCardPrompts, listener)
        .Run(archive, archiveLength);
}

ExtractionResult ExtractArchiveKeepingPrompts(FileSystem& fileSystem, ArchiveState& state,
                                              const std::string& cardRoot, FileReader& archive,
                                              std::uint64_t archiveLength, ExtractionListener& listener) {
    return Extraction(fileSystem, state, cardRoot, PromptHandling::KeepCardPrompts, listener)
        .Run(archive, archiveLength);
}

FsStatus DeleteCardPrompts(FileSystem& fileSystem, const std::string& cardRoot) {
    return fileSystem.DeleteTree(cardRoot + std::string(kPromptFolder));
}

std::optional<std::string> ValidateArchive(FileReader& archive, std::uint64_t archiveLength) {
    ArchiveScanner scanner(archive, archiveLength);
    if (scanner.ReadArchiveHeader()) {
        while (scanner.NextEntry()) {
            if (scanner.entry().kind == EntryKind::File) {
                scanner.ReadContent([](std::span<const char>) { return true; });
            }
        }
    }
    return scanner.problem();
}

namespace {

bool OnTheCard(const std::string& archivePath, const std::string& cardRoot) {
    if (cardRoot.size() < kDriveRootLength || archivePath.size() < kDriveRootLength) return false;
    for (std::size_t i = 0; i < kDriveRootLength; ++i) {
        if (std::toupper(static_cast<unsigned char>(archivePath[i])) !=
            std::toupper(static_cast<unsigned char>(cardRoot[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

CheckedArchive OpenCheckedArchive(FileSystem& fileSystem, const std::string& archivePath,
                                  const std::string& cardRoot) {
    CheckedArchive checked;
    if (OnTheCard(archivePath, cardRoot)) {
        checked.check = {ArchiveFault::OnTheCard, {}};
        return checked;
    }
    auto opened = OpenArchive(fileSystem, archivePath);
    if (!opened.ok()) {
        checked.check = {ArchiveFault::Unreadable, fileSystem.DescribeError(opened.status())};
        return checked;
    }
    checked.reader = std::move(opened.value().reader);
    checked.length = opened.value().length;
    if (auto problem = ValidateArchive(*checked.reader, checked.length)) {
        checked.check = {ArchiveFault::Damaged, *problem};
    }
    return checked;
}

std::string ArchiveCheckMessage(const ArchiveCheck& check) {
    switch (check.fault) {
        case ArchiveFault::Unreadable: return ArchiveUnreadableMessage(check.problem);
        case ArchiveFault::Damaged: return InvalidArchiveMessage(check.problem, true);
        case ArchiveFault::OnTheCard: return ArchiveOnCardMessage();
        case ArchiveFault::None: break;
    }
    return {};
}

ExtractionResult ExtractCheckedArchive(FileSystem& fileSystem, ArchiveState& state, CheckedArchive& archive,
                                       const std::string& cardRoot, PromptHandling prompts,
                                       ExtractionListener& listener) {
    ArchiveCheck check = archive.check;
    if (check.sound()) {
        if (FsStatus rewound = archive.reader->Rewind(); !rewound.ok()) {
            check = {ArchiveFault::Unreadable, fileSystem.DescribeError(rewound)};
        }
    }
    if (!check.sound()) {
        state.extractionFailed = true;
        listener.ShowMessage(ArchiveCheckMessage(check));
        ExtractionResult refused;
        if (check.fault == ArchiveFault::Damaged) refused.archiveProblem = check.problem;
        return refused;
    }
    return Extraction(fileSystem, state, cardRoot, prompts, listener).Run(*archive.reader, archive.length);
}

ExtractionResult ExtractArchiveFile(FileSystem& fileSystem, ArchiveState& state,
                                    const std::string& archivePath, const std::string& cardRoot,
                                    PromptHandling prompts, ExtractionListener& listener) {
    CheckedArchive archive = OpenCheckedArchive(fileSystem, archivePath, cardRoot);
    return ExtractCheckedArchive(fileSystem, state, archive, cardRoot, prompts, listener);
}

}  // namespace vocell::archive
