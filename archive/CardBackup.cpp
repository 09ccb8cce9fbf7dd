#include "archive/CardBackup.h"

#include "archive/EntryHeader.h"

namespace vocell::archive {
namespace {

std::string Failure(FileSystem& fileSystem, std::string_view what, FsStatus status) {
    return std::string(what) + " (" + fileSystem.describeError(status) + ")";
}

}  // namespace

BackupOutcome WriteCardBackup(FileSystem& fileSystem, const std::string& cardRoot,
                              const std::string& archivePath, std::string_view versionText,
                              ArchiveWriterListener& listener) {
    BackupOutcome outcome;
    const std::string partialPath = archivePath + std::string(kPartialArchiveSuffix);
    auto created = fileSystem.createFile(partialPath);
    if (!created.ok()) {
        outcome.failure = Failure(fileSystem, "it could not be created", created.status());
        return outcome;
    }
    FileWriter& file = *created.value();

    ArchiveSink sink(file);
    sink.append(EncodeArchiveHeader(versionText));
    ArchiveWriter writer(fileSystem, sink, listener);
    writer.ArchiveTree(cardRoot);
    outcome.leftOut = writer.leftOut();

    FsStatus status = sink.finish();
    if (status.ok()) status = file.flush();
    FsStatus closed = file.close();
    if (status.ok()) status = closed;
    if (status.ok()) status = fileSystem.rename(partialPath, archivePath);
    if (!status.ok()) {
        fileSystem.removeFile(partialPath);
        outcome.failure = Failure(fileSystem, status.error == FsError::DiskFull
                                                  ? "there is not enough space for it"
                                                  : "it could not be written",
                                  status);
    }
    return outcome;
}

}  // namespace vocell::archive
