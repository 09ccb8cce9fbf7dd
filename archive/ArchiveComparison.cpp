#include "archive/ArchiveComparison.h"

#include <algorithm>
#include <cstring>

#include "archive/ArchiveExtraction.h"
#include "archive/ArchiveScanner.h"
#include "archive/BlockIO.h"
#include "archive/CardPaths.h"

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
        auto attributes = fileSystem_.Attributes(path);
        if (!attributes.ok()) {
            // The data is still read: damage in it must show whatever the card holds.
            if (entry.kind == EntryKind::File) {
                static_cast<void>(scanner.ReadContent([](std::span<const char>) { return true; }));
            }
            return Differs(path, "missing on the card");
        }
        if ((attributes.value() & kComparedAttributes) != (entry.header.attributes & kComparedAttributes)) {
            Differs(path, "attributes differ (archive " + std::to_string(entry.header.attributes) +
                              ", card " + std::to_string(attributes.value()) + ")");
        }
        if (entry.kind == EntryKind::File) CompareContent(path, scanner);
        if (entry.cutShort) {
            Differs(path, StoredIncompleteReason(entry.heldContentSize, entry.recordContentSize.value_or(0)));
        }
        auto times = fileSystem_.Times(path);
        if (times.ok() && Distance(times.value().lastWrite, entry.header.times.lastWrite) > kTimeTolerance) {
            Differs(path, "last-write time differs");
        }
    }

private:
    void Differs(const std::string& path, std::string what) {
        result_.differences.push_back({path, std::move(what)});
    }

    // The archive's content is gathered into large pieces, each compared with as many bytes of the
    // card's file read in one call. The whole stream is read even after a difference, so that
    // damage in it shows.
    void CompareContent(const std::string& path, ArchiveScanner& scanner) {
        auto file = fileSystem_.OpenRead(path);
        bool same = file.ok();
        archiveBytes_.clear();
        auto comparePending = [&] {
            if (!same || archiveBytes_.empty()) return;
            cardBytes_.resize(archiveBytes_.size());
            auto read = ReadFully(*file.value(), std::as_writable_bytes(std::span<char>(cardBytes_)));
            same = read.ok() && read.value() == archiveBytes_.size() && cardBytes_ == archiveBytes_;
            archiveBytes_.clear();
        };
        static_cast<void>(scanner.ReadContent([&](std::span<const char> piece) {
            if (same) archiveBytes_.insert(archiveBytes_.end(), piece.begin(), piece.end());
            if (archiveBytes_.size() >= kIoBufferSize) comparePending();
            return true;
        }));
        comparePending();
        if (!file.ok()) return Differs(path, "cannot be read on the card");
        std::byte extra[1];
        if (same) {
            auto read = file.value()->Read(extra);
            same = read.ok() && read.value() == 0;
        }
        if (!same) Differs(path, "content differs");
    }

    FileSystem& fileSystem_;
    const std::string& cardRoot_;
    ComparisonResult& result_;
    std::vector<char> archiveBytes_;
    std::vector<char> cardBytes_;
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
