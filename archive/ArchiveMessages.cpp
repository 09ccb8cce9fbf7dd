#include "archive/ArchiveMessages.h"

#include "common/Messages.h"

namespace vocell::archive {
namespace {

template <class Entry>
std::string PathList(const std::vector<Entry>& entries) {
    std::string list;
    for (std::size_t i = 0; i < entries.size() && i < kListedPathsInMessage; ++i) {
        list += "\n" + entries[i].path + ": " + entries[i].reason;
    }
    if (entries.size() > kListedPathsInMessage) {
        list += "\n... and " + std::to_string(entries.size() - kListedPathsInMessage) + " more.";
    }
    return list;
}

}  // namespace

std::string InvalidArchiveMessage(const std::string& problem, bool cardUnchanged) {
    std::string message = std::string(text::kNotValidArchive) + problem + ".";
    if (cardUnchanged) message += text::kCardNotChanged;
    return message;
}

std::string NotRestoredMessage(const std::vector<NotRestoredEntry>& entries) {
    return std::string(text::kEntriesNotRestored) + PathList(entries) + "\n" +
           std::string(text::kCheckCardAndReader);
}

std::string BackupFailedMessage(const std::string& failure) {
    return std::string(text::kBackupNotWritten) + failure + "." + std::string(text::kEarlierBackupKept);
}

std::string BackupIncompleteMessage(const std::vector<LeftOutEntry>& entries, const std::string& archivePath,
                                    const std::string& savedAs) {
    std::string message = std::string(text::kBackupIncomplete) + PathList(entries);
    if (savedAs != archivePath) {
        message +=
            std::string(text::kIncompleteSavedAs) + savedAs + std::string(text::kEarlierBackupUnchanged);
    }
    return message;
}

std::string ArchiveUnreadableMessage(const std::string& reason) {
    return std::string(text::kArchiveUnreadable) + reason + "." + std::string(text::kCardNotChanged);
}

std::string ArchiveOnCardMessage() {
    return std::string(text::kArchiveOnCard) + std::string(text::kCardNotChanged);
}

}  // namespace vocell::archive
