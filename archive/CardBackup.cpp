#include "archive/CardBackup.h"

#include "archive/EntryHeader.h"

namespace vocell::archive {

std::string IncompleteArchivePath(const std::string& archivePath) {
    const std::size_t nameStart = archivePath.find_last_of('\\') + 1;
    const std::size_t dot = archivePath.find_last_of('.');
    const std::size_t at = dot != std::string::npos && dot > nameStart ? dot : archivePath.size();
    return archivePath.substr(0, at) + std::string(kIncompleteArchiveMark) + archivePath.substr(at);
}

BackupOutcome WriteCardBackup(FileSystem& fileSystem, const std::string& cardRoot,
                              const std::string& archivePath, std::string_view versionText,
                              ArchiveWriterListener& listener) {
    BackupOutcome outcome;
    const std::string partialPath = archivePath + std::string(kPartialArchiveSuffix);
    auto created = fileSystem.OpenWrite(partialPath);
    if (!created.ok()) {
        outcome.failure = BackupFailure::NotCreated;
        outcome.status = created.status();
        return outcome;
    }
    FileWriter& file = *created.value();

    ArchiveSink sink(file);
    sink.Append(EncodeArchiveHeader(versionText));
    ArchiveWriter writer(fileSystem, sink, listener);
    writer.ArchiveTree(cardRoot);
    outcome.leftOut = writer.leftOut();

    FsStatus status = sink.Finish();
    if (status.ok()) status = file.Flush();
    FsStatus closed = file.Close();
    if (status.ok()) status = closed;
    // Only a complete archive may take the place of an earlier backup.
    outcome.savedAs = outcome.leftOut.empty() || !fileSystem.FileSize(archivePath).ok()
                          ? archivePath
                          : IncompleteArchivePath(archivePath);
    if (status.ok()) status = fileSystem.Rename(partialPath, outcome.savedAs);
    if (!status.ok()) {
        outcome.failure =
            status.error == FsError::DiskFull ? BackupFailure::NoSpace : BackupFailure::NotWritten;
        outcome.status = status;
        if (!fileSystem.RemoveFile(partialPath).ok()) outcome.leftBehind = partialPath;
    }
    return outcome;
}

}  // namespace vocell::archive
