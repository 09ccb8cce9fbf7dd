#include "archive/ArchiveCheck.h"

#include <cctype>

#include "archive/ArchiveExtraction.h"
#include "archive/ArchiveScanner.h"
#include "archive/CardPaths.h"

namespace vocell::archive {
namespace {

bool OnTheCardDrive(const std::string& archivePath, const std::string& cardRoot) {
    if (cardRoot.size() < kDriveRootLength || archivePath.size() < kDriveRootLength) return false;
    for (std::size_t i = 0; i < kDriveRootLength; ++i) {
        if (std::toupper(static_cast<unsigned char>(archivePath[i])) !=
            std::toupper(static_cast<unsigned char>(cardRoot[i]))) {
            return false;
        }
    }
    return true;
}

void Count(const ScannedEntry& entry, const std::string& cardRoot, ArchiveContent& content) {
    const std::string path = MapToCard(entry.header.storedPath, cardRoot);
    ArchiveContent::Part& part = IsInPromptTree(path, cardRoot) ? content.prompts : content.others;
    if (entry.kind == EntryKind::Folder) ++part.folders;
    if (entry.kind != EntryKind::File) return;
    ++part.files;
    part.fileBytes += entry.recordContentSize.value_or(0);
}

// A check that tells no one how far it has come.
class Unwatched final : public ExtractionProgress {
public:
    void Step() override {}
};

// Reads the whole archive the way an extraction would; what is wrong with it, if anything.
std::optional<std::string> Scan(ArchiveScanner& scanner, std::uint64_t archiveLength,
                                ExtractionProgress& progress, const std::string& cardRoot = {},
                                ArchiveContent* content = nullptr) {
    ProgressSteps steps(progress, archiveLength);
    if (scanner.ReadArchiveHeader()) {
        steps.AfterEntry(scanner.consumed());
        while (scanner.NextEntry()) {
            if (content != nullptr) Count(scanner.entry(), cardRoot, *content);
            if (scanner.entry().kind == EntryKind::File) {
                // Only the damage it finds matters here, not whether the content was taken.
                static_cast<void>(scanner.ReadContent([&](std::span<const char>) {
                    progress.Working(scanner.consumed());
                    return true;
                }));
            }
            steps.AfterEntry(scanner.consumed());
        }
    }
    return scanner.problem();
}

}  // namespace

bool LiesOnCard(FileSystem& fileSystem, const std::string& path, const std::string& cardRoot) {
    if (OnTheCardDrive(path, cardRoot)) return true;
    if (cardRoot.size() < kDriveRootLength) return false;
    // By identity: another name of the card's folder (a link, a second mount) is the card too.
    auto within = fileSystem.LiesWithin(path, cardRoot);
    return within.ok() && within.value();
}

std::optional<std::string> ValidateArchive(FileReader& archive, std::uint64_t archiveLength) {
    ArchiveScanner scanner(archive, archiveLength);
    Unwatched unwatched;
    return Scan(scanner, archiveLength, unwatched);
}

CheckedArchive OpenCheckedArchive(FileSystem& fileSystem, const std::string& archivePath,
                                  const std::string& cardRoot, ExtractionProgress* progress) {
    CheckedArchive checked;
    if (LiesOnCard(fileSystem, archivePath, cardRoot)) {
        checked.check = {ArchiveFault::OnTheCard, {}};
        return checked;
    }
    auto opened = OpenArchive(fileSystem, archivePath);
    if (!opened.ok()) {
        checked.check = {ArchiveFault::Unreadable, fileSystem.DescribeError(opened.status())};
        return checked;
    }
    checked.path = archivePath;
    checked.reader = std::move(opened.value().reader);
    checked.length = opened.value().length;
    if (auto stamp = checked.reader->Stamp(); stamp.ok()) checked.stamp = stamp.value();
    ArchiveScanner scanner(*checked.reader, checked.length);
    Unwatched unwatched;
    if (auto problem = Scan(scanner, checked.length, progress != nullptr ? *progress : unwatched, cardRoot,
                            &checked.content)) {
        checked.check = {ArchiveFault::Damaged, *problem};
    }
    checked.version = scanner.version();
    return checked;
}

}  // namespace vocell::archive
