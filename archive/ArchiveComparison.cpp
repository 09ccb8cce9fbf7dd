#include "archive/ArchiveComparison.h"

#include <algorithm>
#include <cstring>

#include "archive/ArchiveScanner.h"
#include "archive/CardPaths.h"

namespace vocell::archive {
namespace {

std::uint64_t Distance(std::uint64_t a, std::uint64_t b) { return a > b ? a - b : b - a; }

class Comparison {
public:
    Comparison(FileSystem& fileSystem, const std::string& cardRoot, ComparisonResult& result)
        : fileSystem_(fileSystem), cardRoot_(cardRoot), result_(result) {}

    void compare(ArchiveScanner& scanner) {
        const ScannedEntry& entry = scanner.entry();
        const std::string path = MapToCard(entry.header.storedPath, cardRoot_);
        ++result_.entriesCompared;
        if (LeavesCard(path)) return differs(path, "its path leads outside the card");
        auto attributes = fileSystem_.attributes(path);
        if (!attributes.ok()) return differs(path, "missing on the card");
        if ((attributes.value() & kComparedAttributes) != (entry.header.attributes & kComparedAttributes)) {
            differs(path, "attributes differ (archive " + std::to_string(entry.header.attributes) +
                              ", card " + std::to_string(attributes.value()) + ")");
        }
        if (entry.kind == EntryKind::File) compareContent(path, scanner);
        auto times = fileSystem_.times(path);
        if (times.ok() && Distance(times.value().lastWrite, entry.header.times.lastWrite) > kTimeTolerance) {
            differs(path, "last-write time differs");
        }
    }

private:
    void differs(const std::string& path, std::string what) {
        result_.differences.push_back({path, std::move(what)});
    }

    void compareContent(const std::string& path, ArchiveScanner& scanner) {
        auto file = fileSystem_.openRead(path);
        if (!file.ok()) return differs(path, "cannot be read on the card");
        std::vector<char> cardBytes;
        bool same = true;
        scanner.readContent([&](std::span<const char> piece) {
            cardBytes.resize(piece.size());
            std::size_t filled = 0;
            while (filled < piece.size()) {
                auto read = file.value()->read(std::as_writable_bytes(
                    std::span<char>(cardBytes.data() + filled, piece.size() - filled)));
                if (!read.ok() || read.value() == 0) break;
                filled += read.value();
            }
            same = filled == piece.size() && std::memcmp(cardBytes.data(), piece.data(), filled) == 0;
            return same;
        });
        std::byte extra[1];
        if (same) {
            auto read = file.value()->read(extra);
            same = read.ok() && read.value() == 0;
        }
        if (!same) differs(path, "content differs");
    }

    FileSystem& fileSystem_;
    const std::string& cardRoot_;
    ComparisonResult& result_;
};

}  // namespace

ComparisonResult CompareArchiveWithCard(FileSystem& fileSystem, const std::string& archivePath,
                                        const std::string& cardRoot) {
    ComparisonResult result;
    auto archive = OpenArchive(fileSystem, archivePath);
    if (!archive.ok()) {
        result.unreadable = fileSystem.describeError(archive.status());
        return result;
    }
    ArchiveScanner scanner(*archive.value().reader, archive.value().length);
    Comparison comparison(fileSystem, cardRoot, result);
    if (scanner.readArchiveHeader()) {
        while (scanner.nextEntry()) comparison.compare(scanner);
    }
    result.archiveProblem = scanner.problem();
    return result;
}

}  // namespace vocell::archive
