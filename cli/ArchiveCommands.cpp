// list, verify and version: the commands that read archives and cards without changing them.

#include <string>

#include "app/PromptVersion.h"
#include "archive/ArchiveComparison.h"
#include "archive/ArchiveExtraction.h"
#include "archive/ArchiveScanner.h"
#include "archive/InterruptedRestore.h"
#include "cli/ArchiveListing.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "common/Messages.h"
#include "operations/OperationMessages.h"

namespace vocell::cli {
namespace {

struct ScanOutcome {
    std::string version;
    std::vector<ListedEntry> entries;
    std::optional<std::string> unreadable;
    std::optional<std::string> problem;
};

ScanOutcome ScanArchive(FileSystem& fileSystem, const std::string& archivePath) {
    ScanOutcome outcome;
    auto archive = archive::OpenArchive(fileSystem, archivePath);
    if (!archive.ok()) {
        outcome.unreadable = fileSystem.DescribeError(archive.status());
        return outcome;
    }
    archive::ArchiveScanner scanner(*archive.value().reader, archive.value().length);
    if (scanner.ReadArchiveHeader()) {
        outcome.version = scanner.version();
        while (scanner.NextEntry()) {
            const auto& entry = scanner.entry();
            std::uint64_t size = 0;
            // Reading the data is what shows a stream cut short; its damage stops the scan.
            if (entry.kind == archive::EntryKind::File &&
                !scanner.ReadContent([&size](std::span<const char> piece) {
                    size += piece.size();
                    return true;
                })) {
                break;
            }
            ListedEntry listed{entry.kind, entry.header.attributes, entry.header.times.lastWrite,
                               size,       entry.header.storedPath, {}};
            if (entry.cutShort) {
                listed.incomplete =
                    archive::StoredIncompleteReason(entry.heldContentSize, *entry.recordContentSize);
            }
            outcome.entries.push_back(std::move(listed));
        }
    }
    outcome.problem = scanner.problem();
    return outcome;
}

// The exit status of an archive that could not be read or is damaged, after saying why; nothing
// when it was read whole.
std::optional<int> ReportArchiveFailure(Console& console, const std::optional<std::string>& unreadable,
                                        const std::optional<std::string>& problem) {
    if (unreadable) {
        console.Complain(operations::ArchiveUnreadableMessage(*unreadable));
        return kFailed;
    }
    if (problem) {
        console.Complain(operations::InvalidArchiveMessage(*problem, false));
        return kInvalidArchive;
    }
    return std::nullopt;
}

// Says so when a restore onto the card was interrupted; true when it was.
bool ReportInterruptedRestore(Console& console, FileSystem& fileSystem) {
    if (!archive::RestoreWasInterrupted(fileSystem, posix::kCardRoot)) return false;
    console.Complain(text::kRestoreInterrupted);
    return true;
}

}  // namespace

int RunList(Console& console, const std::filesystem::path& archiveFile, bool json) {
    if (!CheckArchiveFile(console, archiveFile)) return kUsage;
    auto archivePath = WindowsPathOf(console, archiveFile);
    if (!archivePath) return kUsage;
    posix::HostDrives drives({});
    ScanOutcome scan = ScanArchive(drives.fileSystem(), *archivePath);
    if (auto failed = ReportArchiveFailure(console, scan.unreadable, scan.problem)) return *failed;
    console.Say(json ? ListingJson(scan.version, scan.entries) : ListingText(scan.version, scan.entries));
    return kDone;
}

int RunVerify(Console& console, const std::filesystem::path& archiveFile,
              const std::optional<std::filesystem::path>& cardFolder) {
    if (!CheckArchiveFile(console, archiveFile)) return kUsage;
    if (cardFolder && !CheckCardFolder(console, *cardFolder)) return kUsage;
    auto archivePath = WindowsPathOf(console, archiveFile);
    if (!archivePath) return kUsage;
    posix::HostDrives drives(cardFolder.value_or(std::filesystem::path{}));

    if (!cardFolder) {
        ScanOutcome scan = ScanArchive(drives.fileSystem(), *archivePath);
        if (auto failed = ReportArchiveFailure(console, scan.unreadable, scan.problem)) return *failed;
        std::size_t incomplete = 0;
        for (const ListedEntry& entry : scan.entries) {
            if (entry.incomplete.empty()) continue;
            console.Say(entry.path + ": " + entry.incomplete);
            ++incomplete;
        }
        console.Say(std::string(text::cli::kArchiveSound) + Shown(scan.version) + ", " +
                    std::to_string(scan.entries.size()) + " entries" +
                    (incomplete == 0
                         ? "."
                         : ", " + std::to_string(incomplete) + std::string(text::cli::kStoredIncomplete)));
        return incomplete == 0 ? kDone : kFailed;
    }
    auto comparison = archive::CompareArchiveWithCard(drives.fileSystem(), *archivePath, posix::kCardRoot);
    if (auto failed = ReportArchiveFailure(console, comparison.unreadable, comparison.archiveProblem)) {
        return *failed;
    }
    for (const auto& difference : comparison.differences) {
        console.Say(difference.path + ": " + difference.what);
    }
    console.Say(std::to_string(comparison.entriesCompared) + " entries compared, " +
                std::to_string(comparison.differences.size()) + " differences.");
    const bool interrupted = ReportInterruptedRestore(console, drives.fileSystem());
    return comparison.differences.empty() && !interrupted ? kDone : kFailed;
}

int RunVersion(Console& console, const std::filesystem::path& cardOrArchive) {
    std::error_code error;
    if (std::filesystem::is_directory(cardOrArchive, error)) {
        posix::HostDrives drives(cardOrArchive);
        const std::string version = ReadCardPromptVersion(drives.fileSystem(), posix::kCardRoot).value_or("");
        console.Say(version.empty() ? std::string(text::kNoPrompts) : version);
        return ReportInterruptedRestore(console, drives.fileSystem()) ? kFailed : kDone;
    }
    if (!CheckArchiveFile(console, cardOrArchive)) return kUsage;
    auto archivePath = WindowsPathOf(console, cardOrArchive);
    if (!archivePath) return kUsage;
    posix::HostDrives drives({});
    // Only a valid archive has a version: anything else is said to be what it is.
    const archive::CheckedArchive checked =
        archive::OpenCheckedArchive(drives.fileSystem(), *archivePath, "");
    if (checked.check.fault == archive::ArchiveFault::Unreadable) {
        return *ReportArchiveFailure(console, checked.check.problem, std::nullopt);
    }
    if (checked.check.fault == archive::ArchiveFault::Damaged) {
        return *ReportArchiveFailure(console, std::nullopt, checked.check.problem);
    }
    console.Say(checked.version.empty() ? std::string(text::kNoPrompts) : checked.version);
    return kDone;
}

}  // namespace vocell::cli
