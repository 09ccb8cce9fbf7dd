#include "archive/RestoreSpace.h"

#include "archive/ArchiveScanner.h"
#include "archive/CardPaths.h"
#include "archive/InterruptedRestore.h"
#include "archive/NameClashes.h"

namespace vocell::archive {
namespace {

std::uint64_t RoundedUp(std::uint64_t bytes, std::uint64_t unit) { return (bytes + unit - 1) / unit * unit; }

// FAT and Windows drives give every folder a cluster; others may give it nothing (tmpfs).
bool FoldersTakeAUnit(FileSystem& fileSystem, const std::string& cardRoot) {
    return fileSystem.MergesNameVariants(cardRoot);
}

// What the card gives out for folder and everything below it (the prompt folder a restore deletes).
std::uint64_t SpaceHeldBy(FileSystem& fileSystem, const std::string& folder, std::uint64_t unit,
                          bool foldersTakeAUnit) {
    auto listing = fileSystem.ListFolder(folder);
    if (!listing.ok()) return 0;
    std::uint64_t held = foldersTakeAUnit ? unit : 0;
    for (const FolderEntry& entry : listing.value()) {
        const std::string path = folder + entry.name;
        if ((entry.attributes & FileAttribute::Directory) != 0) {
            held += SpaceHeldBy(fileSystem, path + "\\", unit, foldersTakeAUnit);
        } else if (auto size = fileSystem.FileSize(path); size.ok()) {
            held += RoundedUp(size.value(), unit);
        }
    }
    return held;
}

// The need entry by entry, with what the card already holds under each entry's name.
class NeedOnCard {
public:
    NeedOnCard(FileSystem& fileSystem, const std::string& cardRoot, PromptHandling prompts,
               std::uint64_t unit)
        : fileSystem_(fileSystem),
          cardRoot_(cardRoot),
          prompts_(prompts),
          unit_(unit),
          foldersTakeAUnit_(FoldersTakeAUnit(fileSystem, cardRoot)),
          clashes_(fileSystem.MergesNameVariants(cardRoot)) {}

    // Counts the scanner's entry as the extraction would write it; its content, if any, is read
    // so that a file cut short counts with the data the archive holds.
    void Add(ArchiveScanner& scanner) {
        const ScannedEntry& entry = scanner.entry();
        if (entry.kind == EntryKind::File) {
            static_cast<void>(scanner.ReadContent([](std::span<const char>) { return true; }));
        }
        const std::string path = MapToCard(entry.header.storedPath, cardRoot_);
        if (LeavesCard(path) || IsInterruptedRestoreMarker(path, cardRoot_) || IsUnfinishedFileName(path))
            return;
        const bool inPrompts = IsInPromptTree(path, cardRoot_);
        if (inPrompts && prompts_ == PromptHandling::KeepCardPrompts) return;
        if (entry.kind == EntryKind::Unsupported || !clashes_.Claim(path, entry.kind == EntryKind::Folder))
            return;
        // The card's prompt folder is gone before the archive's is written: nothing in it stays.
        const bool replacedTree = inPrompts && prompts_ == PromptHandling::ReplaceCardPrompts;
        if (entry.kind == EntryKind::Folder) {
            auto attributes = fileSystem_.Attributes(path);
            const bool exists = attributes.ok() && (attributes.value() & FileAttribute::Directory) != 0;
            if (foldersTakeAUnit_ && (replacedTree || !exists)) needed_ += unit_;
        } else {
            const std::uint64_t written =
                entry.cutShort ? entry.heldContentSize : entry.recordContentSize.value_or(0);
            needed_ += RoundedUp(written, unit_);
            if (replacedTree) return;
            if (auto old = fileSystem_.FileSize(path); old.ok()) givenBack_ += RoundedUp(old.value(), unit_);
        }
    }
    void GiveBack(std::uint64_t bytes) { givenBack_ += bytes; }
    void Need(std::uint64_t bytes) { needed_ += bytes; }
    [[nodiscard]] std::uint64_t net() const { return needed_ > givenBack_ ? needed_ - givenBack_ : 0; }

private:
    FileSystem& fileSystem_;
    const std::string& cardRoot_;
    PromptHandling prompts_;
    std::uint64_t unit_;
    bool foldersTakeAUnit_;
    NameClashes clashes_;
    std::uint64_t needed_ = 0;
    std::uint64_t givenBack_ = 0;
};

// Most restores go onto a card with room to spare: a bound from the check's counts, with every
// file rounded up by a whole unit and every folder new, settles those without asking the card
// about each entry.
std::uint64_t MostNeeded(const ArchiveContent& content, PromptHandling prompts, std::uint64_t unit) {
    auto most = [unit](const ArchiveContent::Part& part) {
        return part.fileBytes + part.files * unit + part.folders * unit;
    };
    return most(content.others) +
           (prompts == PromptHandling::ReplaceCardPrompts ? most(content.prompts) : 0) + unit;  // the mark
}

}  // namespace

std::optional<SpaceShortfall> FindSpaceShortfall(FileSystem& fileSystem, CheckedArchive& archive,
                                                 const std::string& cardRoot, PromptHandling prompts) {
    // After an interrupted restore the card holds unfinished copies the next one removes first:
    // what they give back is not worked out, and the extraction finds out.
    if (cardRoot.size() < kDriveRootLength || !archive.reader ||
        RestoreWasInterrupted(fileSystem, cardRoot)) {
        return std::nullopt;
    }
    auto free = fileSystem.FreeSpace(cardRoot);
    auto unit = fileSystem.AllocationUnit(cardRoot);
    if (!free.ok() || !unit.ok() || unit.value() == 0) return std::nullopt;
    if (MostNeeded(archive.content, prompts, unit.value()) <= free.value()) return std::nullopt;

    if (!archive.reader->Rewind().ok()) return std::nullopt;
    NeedOnCard need(fileSystem, cardRoot, prompts, unit.value());
    need.Need(unit.value());  // the mark
    if (prompts == PromptHandling::ReplaceCardPrompts) {
        need.GiveBack(SpaceHeldBy(fileSystem, cardRoot + std::string(kPromptFolder) + "\\", unit.value(),
                                  FoldersTakeAUnit(fileSystem, cardRoot)));
    }
    ArchiveScanner scanner(*archive.reader, archive.length);
    if (!scanner.ReadArchiveHeader()) return std::nullopt;
    while (scanner.NextEntry()) need.Add(scanner);
    if (scanner.problem() || need.net() <= free.value()) return std::nullopt;
    return SpaceShortfall{need.net(), free.value()};
}

}  // namespace vocell::archive
