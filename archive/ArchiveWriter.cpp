#include "archive/ArchiveWriter.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "archive/BackupStream.h"
#include "archive/CardPaths.h"
#include "archive/EntryHeader.h"
#include "archive/ReadAheadWindow.h"

namespace vocell::archive {
namespace {

bool IsFolder(std::uint32_t attributes) { return (attributes & FileAttribute::Directory) != 0; }

// The utility's own files on a card (the interrupted-restore marker, files an interrupted restore
// was writing) are no part of the card's content.
bool IsUtilityFile(const std::string& folder, const std::string& name) {
    if (name.ends_with(kNewFileSuffix)) return true;
    return folder.size() == kDriveRootLength &&
           std::equal(name.begin(), name.end(), kInterruptedRestoreMarker.begin(),
                      kInterruptedRestoreMarker.end(),
                      [](char a, char b) { return std::toupper(static_cast<unsigned char>(a)) == b; });
}

// What a backup walks into and stores; a backup and the measure of its length go by the same.
bool IsWalkedFolder(const FolderEntry& item) {
    return IsFolder(item.attributes) && !item.name.starts_with('.');
}
bool IsStoredFile(const std::string& folder, const FolderEntry& item) {
    return !IsFolder(item.attributes) && !IsUtilityFile(folder, item.name) &&
           folder.size() + item.name.size() <= kMaxStoredPath;
}

std::string Unreadable(FileSystem& fileSystem, FsStatus status) {
    return "it could not be read (" + fileSystem.DescribeError(status) + ")";
}

}  // namespace

ArchiveWriter::ArchiveWriter(FileSystem& fileSystem, ArchiveSink& sink, ArchiveWriterListener& listener)
    : fileSystem_(fileSystem), sink_(sink), listener_(listener), readBuffer_(kIoBufferSize) {}

bool ArchiveWriter::LeaveOut(const std::string& path, std::string reason) {
    leftOut_.push_back({path, std::move(reason)});
    return false;
}

void ArchiveWriter::ArchiveTree(const std::string& folder) {
    auto listing = fileSystem_.ListFolderForReading(folder);
    if (!listing.ok()) {
        LeaveOut(folder,
                 "its content could not be listed (" + fileSystem_.DescribeError(listing.status()) + ")");
        return;
    }
    // A folder's attribute word is the one its listing reported; a file's is asked of the open
    // file, with its size and times.
    const std::vector<FolderEntry>& items = listing.value();
    ReadAheadWindow files(fileSystem_, folder, items,
                          [&](std::size_t i) { return IsStoredFile(folder, items[i]); });
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (sink_.failed()) return;
        const FolderEntry& item = items[i];
        if (IsFolder(item.attributes)) {
            if (item.name.starts_with('.')) continue;
            const std::string storedPath = folder + "\\" + item.name + "\\";
            if (!FitsInArchive(storedPath) || !WriteFolderEntry(storedPath, item.attributes)) continue;
            listener_.ShowStoredPath(storedPath);
            ArchiveTree(storedPath);
        } else {
            if (IsUtilityFile(folder, item.name)) continue;
            const std::string storedPath = folder + item.name;
            listener_.ShowStoredPath(storedPath);
            if (FitsInArchive(storedPath)) WriteFileEntry(storedPath, files.Open(i));
        }
    }
}

TreeMeasure::TreeMeasure(FileSystem& fileSystem, std::string folder)
    : fileSystem_(fileSystem), folder_(std::move(folder)), pending_{folder_} {}

bool TreeMeasure::Step() {
    if (pending_.empty()) return false;
    const std::string folder = std::move(pending_.back());
    pending_.pop_back();
    auto listing = fileSystem_.ListFolderWithSizes(folder);
    const std::size_t listedBefore = pending_.size();
    allListed_ = allListed_ && listing.ok();
    if (listing.ok()) {
        for (const FolderEntry& item : listing.value()) {
            if (IsWalkedFolder(item)) {
                std::string storedPath = folder + "\\" + item.name + "\\";
                if (storedPath.size() > kMaxStoredPath) continue;
                bytes_ += 2 * kBlockSize;  // its header and its zero block
                pending_.push_back(std::move(storedPath));
            } else if (IsStoredFile(folder, item)) {
                bytes_ += kBlockSize * (1 + DataBlockCount(kStreamHeaderSize + item.size));
            }
        }
    }
    // Subfolders are listed in the order the walk stores them.
    std::reverse(pending_.begin() + static_cast<std::ptrdiff_t>(listedBefore), pending_.end());
    return !pending_.empty();
}

void TreeMeasure::Finish(const std::function<void()>& working) {
    while (!done()) {
        if (working) working();
        Step();
    }
}

bool ArchiveWriter::FitsInArchive(const std::string& storedPath) {
    if (storedPath.size() <= kMaxStoredPath) return true;
    return LeaveOut(storedPath, "its path is longer than an archive can hold (" +
                                    std::to_string(kMaxStoredPath) + " characters)");
}

bool ArchiveWriter::WriteFolderEntry(const std::string& storedPath, std::uint32_t attributes) {
    auto times = fileSystem_.Times(storedPath);
    sink_.Append(EncodeEntryHeader({storedPath, attributes, times.ok() ? times.value() : FileTimes{}}));
    sink_.Append(Block{});
    return !sink_.failed();
}

bool ArchiveWriter::WriteFileEntry(const std::string& storedPath,
                                   FsResult<std::unique_ptr<FileReader>> file) {
    if (!file.ok()) return LeaveOut(storedPath, Unreadable(fileSystem_, file.status()));
    FileReader& reader = *file.value();
    auto size = reader.Size();
    if (!size.ok()) return LeaveOut(storedPath, Unreadable(fileSystem_, size.status()));
    auto attributes = reader.Attributes();
    if (!attributes.ok()) return LeaveOut(storedPath, Unreadable(fileSystem_, attributes.status()));
    auto times = reader.Times();

    const std::uint64_t entryStart = sink_.position();
    sink_.Append(
        EncodeEntryHeader({storedPath, attributes.value(), times.ok() ? times.value() : FileTimes{}}));
    StreamBlocks blocks(sink_);
    blocks.Put(EncodeDataRecordHeader(size.value()));
    for (std::uint64_t left = size.value(); left > 0 && !sink_.failed();) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(left, readBuffer_.size()));
        auto read = reader.Read(std::as_writable_bytes(std::span<char>(readBuffer_.data(), want)));
        if (!read.ok() || read.value() == 0) {
            sink_.RewindTo(entryStart);
            return LeaveOut(storedPath, read.ok() ? "it became shorter while it was being read"
                                                  : Unreadable(fileSystem_, read.status()));
        }
        blocks.Put(std::span<const char>(readBuffer_.data(), read.value()));
        left -= read.value();
        listener_.StoringData(sink_.position());
    }
    blocks.Finish();
    return !sink_.failed();
}

}  // namespace vocell::archive
