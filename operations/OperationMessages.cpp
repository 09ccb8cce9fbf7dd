#include "operations/OperationMessages.h"

#include "common/Messages.h"

namespace vocell::operations {
namespace {

std::string PathList(const std::vector<archive::NamedEntry>& entries) {
    std::string list;
    for (std::size_t i = 0; i < entries.size() && i < kListedPathsInMessage; ++i) {
        list += "\n" + entries[i].path + ": " + entries[i].reason;
    }
    if (entries.size() > kListedPathsInMessage) {
        list += "\n... and " + std::to_string(entries.size() - kListedPathsInMessage) + " more.";
    }
    return list;
}

std::string BackupFailureText(archive::BackupFailure failure) {
    switch (failure) {
        case archive::BackupFailure::NotCreated: return "it could not be created";
        case archive::BackupFailure::NoSpace: return "there is not enough space for it";
        case archive::BackupFailure::NotFlushed:
            return "it was saved, but the drive did not confirm that it is on the medium";
        case archive::BackupFailure::NotReadBack:
            return "it was written, but reading it back from its drive gave something else";
        case archive::BackupFailure::NotWritten:
        case archive::BackupFailure::None: break;
    }
    return "it could not be written";
}

// Decimal megabytes (kilobytes below one megabyte) with one decimal, and the exact bytes grouped
// by thousands.
std::string SpaceText(std::uint64_t bytes) {
    constexpr std::uint64_t kKilobyte = 1'000;
    constexpr std::uint64_t kMegabyte = 1'000'000;
    const bool megabytes = bytes >= kMegabyte;
    const std::uint64_t tenth = (megabytes ? kMegabyte : kKilobyte) / 10;
    const std::uint64_t tenths = (bytes + tenth / 2) / tenth;
    std::string exact = std::to_string(bytes);
    for (std::size_t at = exact.size(); at > 3; at -= 3) exact.insert(at - 3, ",");
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + (megabytes ? " MB (" : " kB (") +
           exact + " bytes)";
}

}  // namespace

std::string TooLittleSpaceMessage(std::uint64_t neededBytes, std::uint64_t freeBytes) {
    return std::string(text::kTooLittleSpace) + SpaceText(neededBytes) +
           std::string(text::kTooLittleSpaceHas) + SpaceText(freeBytes) +
           std::string(text::kTooLittleSpaceFree) + std::string(text::kCardNotChanged);
}

std::string InvalidArchiveMessage(const std::string& problem, bool cardUnchanged) {
    std::string message = std::string(text::kNotValidArchive) + problem + ".";
    if (cardUnchanged) message += text::kCardNotChanged;
    return message;
}

std::string ArchiveUnreadableMessage(const std::string& reason) {
    return std::string(text::kArchiveUnreadable) + reason + "." + std::string(text::kCardNotChanged);
}

std::string ArchiveCheckMessage(const archive::ArchiveCheck& check) {
    switch (check.fault) {
        case archive::ArchiveFault::Unreadable: return ArchiveUnreadableMessage(check.problem);
        case archive::ArchiveFault::Damaged: return InvalidArchiveMessage(check.problem, true);
        case archive::ArchiveFault::OnTheCard:
            return std::string(text::kArchiveOnCard) + std::string(text::kCardNotChanged);
        case archive::ArchiveFault::None: break;
    }
    return {};
}

std::string NotRestoredMessage(const std::vector<archive::NamedEntry>& entries) {
    return std::string(text::kEntriesNotRestored) + PathList(entries) + "\n" +
           std::string(text::kCheckCardAndReader);
}

std::string NotAsStoredMessage(const std::vector<archive::NamedEntry>& entries) {
    return std::string(text::kEntriesNotAsStored) + PathList(entries);
}

std::string UnfinishedBackupsMessage(const std::vector<std::string>& paths) {
    std::string message(text::kUnfinishedBackupsFound);
    for (const std::string& path : paths) message += "\n" + path;
    return message + std::string(text::kDeleteWhenNoBackupRuns);
}

std::string NotReadBackMessage(const std::vector<archive::NamedEntry>& entries) {
    return std::string(text::kEntriesNotReadBack) + PathList(entries) + "\n" +
           std::string(text::kCheckCardAndReader);
}

std::string StoredIncompleteMessage(const std::vector<archive::NamedEntry>& entries) {
    return std::string(text::kEntriesStoredIncomplete) + PathList(entries);
}

std::string BackupFailedMessage(const archive::BackupOutcome& outcome, const FileSystem& fileSystem) {
    std::string message = std::string(text::kBackupNotWritten) + BackupFailureText(outcome.failure);
    message += outcome.status.ok() ? "." : " (" + fileSystem.DescribeError(outcome.status) + ").";
    if (outcome.failure != archive::BackupFailure::NotFlushed) message += text::kEarlierBackupKept;
    if (!outcome.leftBehind.empty())
        message += std::string(text::kUnfinishedFileLeft) + outcome.leftBehind + ".";
    return message;
}

std::string BackupIncompleteMessage(const std::vector<archive::NamedEntry>& entries,
                                    const std::string& archivePath, const std::string& savedAs) {
    std::string message = std::string(text::kBackupIncomplete) + PathList(entries);
    if (savedAs != archivePath) {
        message +=
            std::string(text::kIncompleteSavedAs) + savedAs + std::string(text::kEarlierBackupUnchanged);
    }
    return message;
}

}  // namespace vocell::operations
