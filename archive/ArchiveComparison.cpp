#include "archive/ArchiveComparison.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "archive/ArchiveExtraction.h"
#include "archive/ArchiveScanner.h"
#include "archive/BlockIO.h"
#include "archive/CardPaths.h"
#include "archive/ContentComparison.h"

namespace vocell::archive {
namespace {

std::uint64_t Distance(std::uint64_t a, std::uint64_t b) { return a > b ? a - b : b - a; }

class Comparison {
public:
    Comparison(FileSystem& fileSystem, const std::string& cardRoot, ComparisonResult& result)
        : fileSystem_(fileSystem), cardRoot_(cardRoot), result_(result) {}

    void Compare(ArchiveScanner& scanner) {
        const ScannedEntry& entry = scanner.entry();
        const std::string path = MapToCard(entry.header.storedPath, cardRoot_);
        ++result_.entriesCompared;
        if (LeavesCard(path)) return Differs(path, "its path leads outside the card");
        if (entry.kind == EntryKind::File) {
            // A file open on the card tells its attributes and times itself.
            if (auto file = fileSystem_.OpenRead(path); file.ok())
                return CompareFile(path, *file.value(), scanner);
        }
        auto attributes = fileSystem_.Attributes(path);
        if (!attributes.ok()) {
            // The data is still read: damage in it must show whatever the card holds.
            PassOverContent(scanner);
            return Differs(path, "missing on the card");
        }
        CompareAttributes(path, attributes.value(), entry);
        if (entry.kind == EntryKind::File) {
            PassOverContent(scanner);
            Differs(path, "cannot be read on the card");
        }
        CompareTimes(path, fileSystem_.Times(path), entry);
    }

private:
    void Differs(const std::string& path, std::string what) {
        result_.differences.push_back({path, std::move(what)});
    }

    static void PassOverContent(ArchiveScanner& scanner) {
        if (scanner.entry().kind != EntryKind::File) return;
        static_cast<void>(scanner.ReadContent([](std::span<const char>) { return true; }));
    }

    void CompareAttributes(const std::string& path, std::uint32_t onCard, const ScannedEntry& entry) {
        if ((onCard & kComparedAttributes) != (entry.header.attributes & kComparedAttributes)) {
            Differs(path, "attributes differ (archive " + std::to_string(entry.header.attributes) +
                              ", card " + std::to_string(onCard) + ")");
        }
    }

    void CompareTimes(const std::string& path, const FsResult<FileTimes>& onCard, const ScannedEntry& entry) {
        if (entry.cutShort) {
            Differs(path, StoredIncompleteReason(entry.heldContentSize, entry.recordContentSize.value_or(0)));
        }
        if (onCard.ok() &&
            Distance(onCard.value().lastWrite, entry.header.times.lastWrite) > kTimeTolerance) {
            Differs(path, "last-write time differs");
        }
    }

    void CompareFile(const std::string& path, FileReader& file, ArchiveScanner& scanner) {
        const ScannedEntry& entry = scanner.entry();
        auto attributes = file.Attributes();
        if (attributes.ok()) CompareAttributes(path, attributes.value(), entry);
        if (!SameContent(file, scanner)) Differs(path, "content differs");
        CompareTimes(path, file.Times(), entry);
    }

    // A file whose size differs from the record's is not read at all.
    bool SameContent(FileReader& file, ArchiveScanner& scanner) {
        auto size = file.Size();
        const std::optional<std::uint64_t> promised = scanner.entry().recordContentSize;
        if (!size.ok() || (promised && *promised != size.value())) {
            PassOverContent(scanner);
            return false;
        }
        return ContentMatchesFile(scanner, file, cardBytes_);
    }

    FileSystem& fileSystem_;
    const std::string& cardRoot_;
    ComparisonResult& result_;
    std::vector<char> cardBytes_ = std::vector<char>(kIoBufferSize);
};

}  // namespace

ComparisonResult CompareArchiveWithCard(FileSystem& fileSystem, const std::string& archivePath,
                                        const std::string& cardRoot) {
    ComparisonResult result;
    auto archive = OpenArchive(fileSystem, archivePath);
    if (!archive.ok()) {
        result.unreadable = fileSystem.DescribeError(archive.status());
        return result;
    }
    ArchiveScanner scanner(*archive.value().reader, archive.value().length);
    Comparison comparison(fileSystem, cardRoot, result);
    if (scanner.ReadArchiveHeader()) {
        while (scanner.NextEntry()) comparison.Compare(scanner);
    }
    result.archiveProblem = scanner.problem();
    return result;
}

}  // namespace vocell::archive
