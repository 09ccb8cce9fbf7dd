// list, verify and version: the commands that read archives and cards without changing them.

#include <string>

#include "app/PromptVersion.h"
#include "archive/ArchiveComparison.h"
#include "archive/ArchiveHeaderProbe.h"
#include "archive/ArchiveMessages.h"
#include "archive/ArchiveScanner.h"
#include "cli/ArchiveListing.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "common/Messages.h"

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
            std::uint64_t size = entry.recordContentSize.value_or(0);
            if (entry.kind == archive::EntryKind::File && !entry.recordContentSize) {
                scanner.ReadContent([&size](std::span<const char> piece) {
                    size += piece.size();
                    return true;
                });
            }
            outcome.entries.push_back({entry.kind, entry.header.attributes, entry.header.times.lastWrite,
                                       size, entry.header.storedPath});
        }
    }
    outcome.problem = scanner.problem();
    return outcome;
}

// The exit status of a scan that failed, after saying why.
std::optional<int> ReportScanFailure(Console& console, const ScanOutcome& scan) {
    if (scan.unreadable) {
        console.Complain(archive::ArchiveUnreadableMessage(*scan.unreadable));
        return kFailed;
    }
    if (scan.problem) {
        console.Complain(archive::InvalidArchiveMessage(*scan.problem, false));
        return kInvalidArchive;
    }
    return std::nullopt;
}

}  // namespace

int RunList(Console& console, const std::filesystem::path& archiveFile, bool json) {
    if (!CheckArchiveFile(console, archiveFile)) return kUsage;
    auto archivePath = WindowsPathOf(console, archiveFile);
    if (!archivePath) return kUsage;
    posix::HostDrives drives({});
    ScanOutcome scan = ScanArchive(drives.fileSystem(), *archivePath);
    if (auto failed = ReportScanFailure(console, scan)) return *failed;
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
        if (auto failed = ReportScanFailure(console, scan)) return *failed;
        console.Say(std::string(text::cli::kArchiveSound) + Shown(scan.version) + ", " +
                    std::to_string(scan.entries.size()) + " entries.");
        return kDone;
    }
    auto comparison = archive::CompareArchiveWithCard(drives.fileSystem(), *archivePath, posix::kCardRoot);
    if (comparison.unreadable) {
        console.Complain(archive::ArchiveUnreadableMessage(*comparison.unreadable));
        return kFailed;
    }
    if (comparison.archiveProblem) {
        console.Complain(archive::InvalidArchiveMessage(*comparison.archiveProblem, false));
        return kInvalidArchive;
    }
    for (const auto& difference : comparison.differences) {
        console.Say(difference.path + ": " + difference.what);
    }
    console.Say(std::to_string(comparison.entriesCompared) + " entries compared, " +
                std::to_string(comparison.differences.size()) + " differences.");
    return comparison.differences.empty() ? kDone : kFailed;
}

int RunVersion(Console& console, const std::filesystem::path& cardOrArchive) {
    std::error_code error;
    if (std::filesystem::is_directory(cardOrArchive, error)) {
        posix::HostDrives drives(cardOrArchive);
        const std::string version = ReadCardPromptVersion(drives.fileSystem(), posix::kCardRoot);
        console.Say(version.empty() ? std::string(text::kNoPrompts) : version);
        return kDone;
    }
    if (!CheckArchiveFile(console, cardOrArchive)) return kUsage;
    auto archivePath = WindowsPathOf(console, cardOrArchive);
    if (!archivePath) return kUsage;
    posix::HostDrives drives({});
    archive::ArchiveState state;
    archive::ReadArchiveVersion(drives.fileSystem(), state, *archivePath);
    console.Say(state.archiveVersion.empty() ? std::string(text::kNoPrompts) : state.archiveVersion);
    return kDone;
}

}  // namespace vocell::cli
