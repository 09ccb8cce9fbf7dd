#pragma once
// A backup of a whole card into one archive file. The archive is written beside its target under
// a temporary name of its own and renamed over the target only when it is complete and on the
// medium, so a failed backup never destroys an earlier one, and two backups to the same name each
// write a whole archive of their own.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/ArchiveWriter.h"
#include "archive/NamedEntry.h"
#include "platform/FileSystem.h"

namespace vocell::archive {

// Why no archive was written.
enum class BackupFailure {
    None,
    NotCreated,   // the archive file could not be created
    NoSpace,      // the archive's drive ran out of space
    NotWritten,   // writing, flushing or renaming the archive failed
    NotFlushed,   // the archive took its name, but the medium did not confirm the rename
    NotReadBack,  // read back from its drive, the archive was not what was written
};

struct [[nodiscard]] BackupOutcome {
    BackupFailure failure = BackupFailure::None;
    FsStatus status;  // the failure's platform error
    // Entries that could not be read and are not in the archive.
    std::vector<NamedEntry> leftOut;
    // Where the archive was written: the target, or beside it when an incomplete archive would
    // have replaced an earlier backup.
    std::string savedAs;
    // This run's temporary file, when the backup failed and it could not be removed again.
    std::string leftBehind;
    // Temporary files of other runs found beside the archive (killed, or still running); they are
    // left alone.
    std::vector<std::string> unfinishedBeside;

    [[nodiscard]] bool written() const { return failure == BackupFailure::None; }
    [[nodiscard]] bool complete() const { return written() && leftOut.empty(); }
};

// The archive is written as "<name>.vocell-<8 hex digits>.partial" beside it, created exclusively,
// so that two backups to the same name never write into one file.
inline constexpr std::string_view kTemporaryMark = ".vocell-";
inline constexpr std::string_view kPartialArchiveSuffix = ".partial";
inline constexpr std::string_view kIncompleteArchiveMark = " (incomplete)";

// "Z:\BACKUP\card.vcb" gives "Z:\BACKUP\card (incomplete).vcb".
std::string IncompleteArchivePath(const std::string& archivePath);

// The length of the archive WriteCardBackup would write of the card whose tree is measured, from
// the card's folder listings: finishes the measure, calling working at every folder still listed.
std::uint64_t ExpectedBackupLength(TreeMeasure& cardTree, const std::function<void()>& working);

// Writes the archive header with versionText (the card's prompt version as shown), then every
// folder and file below cardRoot ("E:\"). Once on its drive, the archive is read back from the
// medium and its checksum compared with that of the bytes written, before it takes its name.
BackupOutcome WriteCardBackup(FileSystem& fileSystem, const std::string& cardRoot,
                              const std::string& archivePath, std::string_view versionText,
                              ArchiveWriterListener& listener);

}  // namespace vocell::archive
