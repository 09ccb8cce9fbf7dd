#include "archive/CardBackup.h"

#include <optional>
#include <random>

#include "archive/ArchiveReadBack.h"
#include "archive/BlockIO.h"
#include "archive/EntryHeader.h"
#include "archive/StreamChecksum.h"

namespace vocell::archive {
namespace {

constexpr int kTemporaryNameTries = 16;

std::size_t NameStart(const std::string& path) { return path.find_last_of('\\') + 1; }

// "card.vcb.vocell-1f3a09c2.partial": a name no other run and no file of the user's takes.
std::string TemporaryName(const std::string& archivePath, std::mt19937& random) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string tag;
    for (int i = 0; i < 8; ++i) tag += kHex[random() % 16];
    return archivePath + std::string(kTemporaryMark) + tag + std::string(kPartialArchiveSuffix);
}

// Creates the temporary file exclusively, so that it is this run's own.
FsResult<std::unique_ptr<FileWriter>> CreateTemporaryFile(FileSystem& fileSystem,
                                                          const std::string& archivePath,
                                                          std::string& temporaryPath) {
    std::mt19937 random(std::random_device{}());
    FsStatus status;
    for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
        temporaryPath = TemporaryName(archivePath, random);
        auto created = fileSystem.CreateNew(temporaryPath);
        if (created.ok() || created.status().error != FsError::AlreadyExists) return created;
        status = created.status();
    }
    return status;
}

// Temporary files of earlier runs beside the archive: they may belong to a backup running now,
// so they are named, never touched.
std::vector<std::string> UnfinishedBackupsBeside(FileSystem& fileSystem, const std::string& archivePath,
                                                 const std::string& ownPath) {
    const std::string folder = archivePath.substr(0, NameStart(archivePath));
    const std::string prefix = archivePath.substr(NameStart(archivePath)) + std::string(kTemporaryMark);
    std::vector<std::string> found;
    auto listing = fileSystem.ListFolder(folder);
    if (!listing.ok()) return found;
    for (const FolderEntry& entry : listing.value()) {
        const std::string path = folder + entry.name;
        if (entry.name.starts_with(prefix) && entry.name.ends_with(kPartialArchiveSuffix) &&
            path != ownPath) {
            found.push_back(path);
        }
    }
    return found;
}

// What the file was handed: the sink's checksum, or, where an entry was dropped from what the file
// had been given already, what the system holds of the file.
std::optional<ReadBackDigest> WrittenDigest(FileSystem& fileSystem, const std::string& path,
                                            const ArchiveSink& sink, ArchiveWriterListener& listener) {
    if (auto checksum = sink.checksum()) return ReadBackDigest{*checksum, sink.written()};
    auto file = fileSystem.OpenRead(path);
    if (!file.ok()) return std::nullopt;
    StreamChecksum checksum;
    std::uint64_t length = 0;
    std::vector<char> piece(kArchiveReadSize);
    while (true) {
        auto read = file.value()->Read(std::as_writable_bytes(std::span<char>(piece)));
        if (!read.ok()) return std::nullopt;
        if (read.value() == 0) return ReadBackDigest{checksum.digest(), length};
        checksum.Update(std::span<const char>(piece.data(), read.value()));
        length += read.value();
        listener.StoringData(sink.position());
    }
}

// What cannot be read back, or what was written when it cannot be told, does not count as read back.
bool ReadsBackAsWritten(const std::optional<ReadBackDigest>& back,
                        const std::optional<ReadBackDigest>& written) {
    return back && written && *back == *written;
}

}  // namespace

std::string IncompleteArchivePath(const std::string& archivePath) {
    const std::size_t nameStart = NameStart(archivePath);
    const std::size_t dot = archivePath.find_last_of('.');
    const std::size_t at = dot != std::string::npos && dot > nameStart ? dot : archivePath.size();
    return archivePath.substr(0, at) + std::string(kIncompleteArchiveMark) + archivePath.substr(at);
}

std::uint64_t ExpectedBackupLength(TreeMeasure& cardTree, const std::function<void()>& working) {
    cardTree.Finish(working);
    return kBlockSize + cardTree.bytes();  // the header block, the entries
}

BackupOutcome WriteCardBackup(FileSystem& fileSystem, const std::string& cardRoot,
                              const std::string& archivePath, std::string_view versionText,
                              ArchiveWriterListener& listener) {
    BackupOutcome outcome;
    std::string temporaryPath;
    auto created = CreateTemporaryFile(fileSystem, archivePath, temporaryPath);
    if (!created.ok()) {
        outcome.failure = BackupFailure::NotCreated;
        outcome.status = created.status();
        return outcome;
    }
    outcome.unfinishedBeside = UnfinishedBackupsBeside(fileSystem, archivePath, temporaryPath);
    FileWriter& file = *created.value();

    ArchiveReadBack readBack(file, [&] { return fileSystem.OpenReadFromMedium(temporaryPath); });
    ArchiveSink sink(file);
    readBack.WhileReading([&listener, &sink] { listener.StoringData(sink.position()); });
    sink.ReadBackBy(readBack);
    sink.Append(EncodeArchiveHeader(versionText));
    ArchiveWriter writer(fileSystem, sink, listener);
    writer.ArchiveTree(cardRoot);
    outcome.leftOut = writer.leftOut();

    FsStatus status = sink.Finish();
    if (status.ok()) status = file.Flush();
    FsStatus closed = file.Close();
    if (status.ok()) status = closed;
    if (status.ok() && !ReadsBackAsWritten(readBack.Finish(sink.written()),
                                           WrittenDigest(fileSystem, temporaryPath, sink, listener))) {
        outcome.failure = BackupFailure::NotReadBack;
        if (!fileSystem.RemoveFile(temporaryPath).ok()) outcome.leftBehind = temporaryPath;
        return outcome;
    }
    // Only a complete archive may take the place of an earlier backup.
    outcome.savedAs = outcome.leftOut.empty() || !fileSystem.FileSize(archivePath).ok()
                          ? archivePath
                          : IncompleteArchivePath(archivePath);
    if (status.ok()) status = fileSystem.Rename(temporaryPath, outcome.savedAs);
    if (status.ok()) {
        // The rename itself must reach the medium too, or a crash could bring back the old backup.
        status = fileSystem.FlushFolder(outcome.savedAs.substr(0, NameStart(outcome.savedAs)));
        if (!status.ok() && !fileSystem.FlushVolume(outcome.savedAs).ok()) {
            outcome.failure = BackupFailure::NotFlushed;
            outcome.status = status;
        }
        return outcome;
    }
    outcome.failure = status.error == FsError::DiskFull ? BackupFailure::NoSpace : BackupFailure::NotWritten;
    outcome.status = status;
    if (!fileSystem.RemoveFile(temporaryPath).ok()) outcome.leftBehind = temporaryPath;
    return outcome;
}

}  // namespace vocell::archive
