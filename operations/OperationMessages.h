#pragma once
// The texts of the operations' reports, composed from the fixed texts of the utility.

#include <string>
#include <vector>

#include "archive/ArchiveCheck.h"
#include "archive/CardBackup.h"
#include "archive/NamedEntry.h"
#include "platform/FileSystem.h"

namespace vocell::operations {

// At most this many paths are listed in a message; the rest are counted.
inline constexpr std::size_t kListedPathsInMessage = 20;

std::string InvalidArchiveMessage(const std::string& problem, bool cardUnchanged);
std::string ArchiveUnreadableMessage(const std::string& reason);
// Why an archive that failed its check cannot be used; the card is unchanged.
std::string ArchiveCheckMessage(const archive::ArchiveCheck& check);
// "2.1 MB (2,101,248 bytes)" needed and free; the card is unchanged.
std::string TooLittleSpaceMessage(std::uint64_t neededBytes, std::uint64_t freeBytes);
std::string NotRestoredMessage(const std::vector<archive::NamedEntry>& entries);
std::string NotAsStoredMessage(const std::vector<archive::NamedEntry>& entries);
std::string UnfinishedBackupsMessage(const std::vector<std::string>& paths);
std::string NotReadBackMessage(const std::vector<archive::NamedEntry>& entries);
std::string StoredIncompleteMessage(const std::vector<archive::NamedEntry>& entries);
std::string BackupFailedMessage(const archive::BackupOutcome& outcome, const FileSystem& fileSystem);
// savedAs differs from archivePath when the earlier backup was kept.
std::string BackupIncompleteMessage(const std::vector<archive::NamedEntry>& entries,
                                    const std::string& archivePath, const std::string& savedAs);

}  // namespace vocell::operations
