#pragma once
// A backup of a whole card into one archive file. The archive is written beside its target under
// a temporary name and renamed over the target only when it is complete and on the medium, so a
// failed backup never destroys an earlier one.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/ArchiveWriter.h"
#include "platform/FileSystem.h"

namespace vocell::archive {

struct BackupOutcome {
    // Set when no archive was written; the target is then as it was before.
    std::optional<std::string> failure;
    // Entries that could not be read and are not in the archive.
    std::vector<LeftOutEntry> leftOut;
    // Where the archive was written: the target, or beside it when an incomplete archive would
    // have replaced an earlier backup.
    std::string savedAs;

    [[nodiscard]] bool written() const { return !failure.has_value(); }
    [[nodiscard]] bool complete() const { return written() && leftOut.empty(); }
};

inline constexpr std::string_view kPartialArchiveSuffix = ".partial";
inline constexpr std::string_view kIncompleteArchiveMark = " (incomplete)";

// "Z:\BACKUP\card.vcb" gives "Z:\BACKUP\card (incomplete).vcb".
std::string IncompleteArchivePath(const std::string& archivePath);

// Writes the archive header with versionText (the card's prompt version as shown), then every
// folder and file below cardRoot ("E:\").
BackupOutcome WriteCardBackup(FileSystem& fileSystem, const std::string& cardRoot,
                              const std::string& archivePath, std::string_view versionText,
                              ArchiveWriterListener& listener);

}  // namespace vocell::archive
