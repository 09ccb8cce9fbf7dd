#include "archive/ArchiveWriter.h"

#include <algorithm>

#include "archive/BackupStream.h"
#include "archive/EntryHeader.h"

namespace vocell::archive {
namespace {

bool IsFolder(std::uint32_t attributes) { return (attributes & FileAttribute::Directory) != 0; }

std::string Unreadable(FileSystem& fileSystem, FsStatus status) {
    return "it could not be read (" + fileSystem.describeError(status) + ")";
}

// Cuts a backup stream into blocks the way the format wants them: the block buffer is never
// cleared between blocks, so the last block's filler repeats the bytes of the block before it.
class StreamBlocks {
public:
    explicit StreamBlocks(ArchiveSink& sink) : sink_(sink) {}

    void put(std::span<const char> bytes) {
        while (!bytes.empty()) {
            std::size_t take = std::min(bytes.size(), kBlockSize - filled_);
            std::copy_n(bytes.begin(), take, block_.begin() + static_cast<long>(filled_));
            filled_ += take;
            bytes = bytes.subspan(take);
            if (filled_ == kBlockSize) {
                sink_.append(block_);
                filled_ = 0;
            }
        }
    }
    // The last block: the remaining stream bytes (possibly none), then the filler.
    void finish() { sink_.append(block_); }

private:
    ArchiveSink& sink_;
    Block block_{};
    std::size_t filled_ = 0;
};

}  // namespace

ArchiveWriter::ArchiveWriter(FileSystem& fileSystem, ArchiveSink& sink,
                             ArchiveWriterListener& listener)
    : fileSystem_(fileSystem), sink_(sink), listener_(listener), readBuffer_(kIoBufferSize) {}

bool ArchiveWriter::leaveOut(const std::string& path, std::string reason) {
    leftOut_.push_back({path, std::move(reason)});
    return false;
}

void ArchiveWriter::ArchiveTree(const std::string& folder) {
    auto listing = fileSystem_.listFolder(folder);
    if (!listing.ok()) {
        leaveOut(folder, "its content could not be listed (" +
                             fileSystem_.describeError(listing.status()) + ")");
        return;
    }
    for (const FolderEntry& item : listing.value()) {
        if (sink_.failed()) return;
        if (IsFolder(item.attributes)) {
            if (item.name.starts_with('.')) continue;
            const std::string storedPath = folder + "\\" + item.name + "\\";
            if (!writeEntry(storedPath, item.attributes)) continue;
            listener_.showStoredPath(storedPath);
            ArchiveTree(storedPath);
        } else {
            const std::string storedPath = folder + item.name;
            listener_.showStoredPath(storedPath);
            writeEntry(storedPath, item.attributes);
        }
    }
}

bool ArchiveWriter::WriteArchiveEntry(const std::string& storedPath) {
    auto attributes = fileSystem_.attributes(storedPath);
    if (!attributes.ok()) return leaveOut(storedPath, Unreadable(fileSystem_, attributes.status()));
    return writeEntry(storedPath, attributes.value());
}

// The walk stores the attribute word its listing reported, which is the one the file system
// gives for the path: asking again for every entry would only cost time.
bool ArchiveWriter::writeEntry(const std::string& storedPath, std::uint32_t attributes) {
    if (storedPath.size() > kMaxStoredPath) {
        return leaveOut(storedPath, "its path is longer than an archive can hold (" +
                                        std::to_string(kMaxStoredPath) + " characters)");
    }
    return IsFolder(attributes) ? writeFolderEntry(storedPath, attributes)
                                : writeFileEntry(storedPath, attributes);
}

bool ArchiveWriter::writeFolderEntry(const std::string& storedPath, std::uint32_t attributes) {
    auto times = fileSystem_.times(storedPath);
    sink_.append(EncodeEntryHeader({storedPath, attributes, times.ok() ? times.value() : FileTimes{}}));
    sink_.append(Block{});
    return !sink_.failed();
}

bool ArchiveWriter::writeFileEntry(const std::string& storedPath, std::uint32_t attributes) {
    auto file = fileSystem_.openRead(storedPath);
    if (!file.ok()) return leaveOut(storedPath, Unreadable(fileSystem_, file.status()));
    FileReader& reader = *file.value();
    auto size = reader.size();
    if (!size.ok()) return leaveOut(storedPath, Unreadable(fileSystem_, size.status()));
    auto times = reader.times();

    const std::uint64_t entryStart = sink_.position();
    sink_.append(EncodeEntryHeader({storedPath, attributes, times.ok() ? times.value() : FileTimes{}}));
    StreamBlocks blocks(sink_);
    blocks.put(EncodeDataRecordHeader(size.value()));
    for (std::uint64_t left = size.value(); left > 0 && !sink_.failed();) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(left, readBuffer_.size()));
        auto read = reader.read(std::as_writable_bytes(std::span<char>(readBuffer_.data(), want)));
        if (!read.ok() || read.value() == 0) {
            sink_.rewindTo(entryStart);
            return leaveOut(storedPath, read.ok() ? "it became shorter while it was being read"
                                                  : Unreadable(fileSystem_, read.status()));
        }
        blocks.put(std::span<const char>(readBuffer_.data(), read.value()));
        left -= read.value();
    }
    blocks.finish();
    return !sink_.failed();
}

}  // namespace vocell::archive
