#pragma once
// The texts of the archive's reports, composed from the fixed texts of the utility.

#include <string>
#include <vector>

#include "archive/ArchiveExtraction.h"
#include "archive/ArchiveWriter.h"

namespace vocell::archive {

// At most this many paths are listed in a message; the rest are counted.
inline constexpr std::size_t kListedPathsInMessage = 20;

std::string InvalidArchiveMessage(const std::string& problem, bool cardUnchanged);
std::string NotRestoredMessage(const std::vector<NotRestoredEntry>& entries);
std::string BackupFailedMessage(const std::string& failure);
// savedAs differs from archivePath when the earlier backup was kept.
std::string BackupIncompleteMessage(const std::vector<LeftOutEntry>& entries, const std::string& archivePath,
                                    const std::string& savedAs);
std::string ArchiveUnreadableMessage(const std::string& reason);
std::string ArchiveOnCardMessage();

}  // namespace vocell::archive
