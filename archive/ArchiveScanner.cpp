#include "archive/ArchiveScanner.h"

#include <algorithm>
#include <cctype>

namespace vocell::archive {

FsResult<OpenedArchive> OpenArchive(FileSystem& fileSystem, const std::string& archivePath) {
    auto opened = fileSystem.OpenRead(archivePath);
    if (!opened.ok()) return opened.status();
    auto length = opened.value()->Size();
    if (!length.ok()) return length.status();
    return OpenedArchive{std::move(opened.value()), length.value()};
}

ArchiveScanner::ArchiveScanner(FileReader& archive, std::uint64_t archiveLength, std::size_t readSize)
    : reader_(archive, readSize), length_(archiveLength) {}

bool ArchiveScanner::Fail(std::string description) {
    if (!problem_) problem_ = std::move(description);
    return false;
}

std::string ArchiveScanner::entryName() const {
    return "the entry at block " + std::to_string(entry_.headerBlock) + " (" + entry_.header.storedPath + ")";
}

bool ArchiveScanner::ReadBlock(std::size_t& count) {
    if (heldBack_) {
        heldBack_ = false;
        count = kBlockSize;
        return true;
    }
    if (reader_.consumed() >= length_) {
        count = 0;
        return true;
    }
    auto read = reader_.Next(current_);
    if (!read.ok()) {
        return Fail(std::string("it could not be read (") + FsErrorName(read.status().error) + ")");
    }
    count = read.value();
    if (count != 0 && count != kBlockSize) return Fail("it ends in the middle of a block");
    nextBlockIndex_ += count == 0 ? 0 : 1;
    return true;
}

bool ArchiveScanner::ReadArchiveHeader() {
    if (length_ == 0) return Fail("the file is empty");
    if (length_ % kBlockSize != 0) {
        return Fail("its length, " + std::to_string(length_) +
                    " bytes, is not a whole number of 1,024-byte blocks");
    }
    std::size_t count = 0;
    if (!ReadBlock(count)) return false;
    if (count == 0) return Fail("the file is empty");
    version_ = DecodeArchiveVersion(*current_);
    return true;
}

bool ArchiveScanner::NextEntry() {
    if (problem_) return false;
    if (data_ == Data::Record && !PassOverRecordData()) return false;
    data_ = Data::None;
    while (true) {
        std::size_t count = 0;
        if (!ReadBlock(count)) return false;
        if (count == 0) return false;
        if (IsEntryHeader(*current_)) return StartEntry();
        if (entryCount_ == 0) return Fail("its first entry does not follow its header block");
    }
}

bool ArchiveScanner::StartEntry() {
    entry_ = ScannedEntry{};
    entry_.headerBlock = nextBlockIndex_ - 1;
    if (auto damage = FindHeaderDamage(*current_)) {
        entry_.header.storedPath = DecodeEntryHeader(*current_).storedPath;
        return Fail(entryName() + " is damaged: " + *damage);
    }
    entry_.header = DecodeEntryHeader(*current_);
    ++entryCount_;

    std::size_t count = 0;
    if (!ReadBlock(count)) return false;
    if (count == 0) return Fail("it ends inside " + entryName());
    firstData_ = *current_;
    firstDataUsed_ = false;

    const std::uint32_t attributes = entry_.header.attributes;
    std::optional<std::uint64_t> recordSize;
    if ((attributes & FileAttribute::Directory) == 0) recordSize = ReadableDataRecordSize(firstData_);

    if (recordSize) {
        // A promised span that runs past the end of the archive is damage, found as it is read.
        const std::uint64_t blocks = DataBlockCount(kStreamHeaderSize + *recordSize);
        entry_.kind = EntryKind::File;
        entry_.recordContentSize = recordSize;
        entry_.heldContentSize = std::min<std::uint64_t>(*recordSize, kBlockSize - kStreamHeaderSize);
        data_ = Data::Record;
        recordBlocksLeft_ = blocks - 1;
        return true;
    }
    if (attributes & FileAttribute::Directory) {
        entry_.kind = EntryKind::Folder;
    } else if (attributes & (FileAttribute::Archive | FileAttribute::Normal)) {
        entry_.kind = EntryKind::File;
    }
    data_ = Data::UntilNextHeader;
    if (IsEntryHeader(firstData_)) {  // no data at all: that block is the next entry
        heldBack_ = true;
        firstDataUsed_ = true;
    }
    return true;
}

namespace {

// A block inside a record's promised data that begins the next entry: a well-formed entry header
// of the same drive. Data that merely begins like a path stays data.
bool BeginsNextEntry(const Block& block, const std::string& storedPath) {
    if (!IsEntryHeader(block) || FindHeaderDamage(block) || storedPath.empty()) return false;
    return std::toupper(static_cast<unsigned char>(block[0])) ==
           std::toupper(static_cast<unsigned char>(storedPath[0]));
}

}  // namespace

bool ArchiveScanner::NextRecordBlock(bool& dataEnded) {
    std::size_t count = 0;
    if (!ReadBlock(count)) return false;
    if (count == 0) return Fail("it ends inside the data of " + entryName());
    if (BeginsNextEntry(*current_, entry_.header.storedPath)) {
        dataEnded = true;
        heldBack_ = true;
        entry_.cutShort = true;
        recordBlocksLeft_ = 0;
        data_ = Data::None;
        return false;
    }
    --recordBlocksLeft_;
    const std::uint64_t blocksRead =
        DataBlockCount(kStreamHeaderSize + *entry_.recordContentSize) - recordBlocksLeft_;
    entry_.heldContentSize =
        std::min<std::uint64_t>(*entry_.recordContentSize, blocksRead * kBlockSize - kStreamHeaderSize);
    return true;
}

bool ArchiveScanner::PassOverRecordData() {
    while (recordBlocksLeft_ > 0) {
        bool dataEnded = false;
        if (!NextRecordBlock(dataEnded)) return dataEnded;
    }
    data_ = Data::None;
    return true;
}

bool ArchiveScanner::ReadContent(const ContentFn& onContent) {
    if (problem_ || entry_.kind != EntryKind::File) return false;
    if (data_ == Data::Record) return ReadRecordContent(onContent);
    if (data_ == Data::UntilNextHeader) return ReadUntilNextHeader(onContent);
    return true;
}

bool ArchiveScanner::ReadRecordContent(const ContentFn& onContent) {
    const std::uint64_t streamLength = kStreamHeaderSize + *entry_.recordContentSize;
    const std::uint64_t totalBlocks = DataBlockCount(streamLength);
    std::uint64_t blockIndex = totalBlocks - 1 - recordBlocksLeft_;
    const Block* block = &firstData_;
    if (blockIndex > 0) return false;  // a piece was handed on already: the rest is passed over
    lastContentHadRecord_ = true;

    while (true) {
        const std::uint64_t blockStart = blockIndex * kBlockSize;
        const std::uint64_t from = std::max<std::uint64_t>(blockStart, kStreamHeaderSize);
        const std::uint64_t to = std::min<std::uint64_t>(blockStart + kBlockSize, streamLength);
        if (from < to) {
            std::span<const char> piece(block->data() + (from - blockStart),
                                        static_cast<std::size_t>(to - from));
            if (!onContent(piece)) return false;
        }
        if (recordBlocksLeft_ == 0) break;
        bool dataEnded = false;
        if (!NextRecordBlock(dataEnded)) return dataEnded;
        ++blockIndex;
        block = current_;
    }
    data_ = Data::None;
    return true;
}

bool ArchiveScanner::ReadUntilNextHeader(const ContentFn& onContent) {
    BackupStreamDecoder decoder;
    bool wanted = true;
    if (!firstDataUsed_) {
        firstDataUsed_ = true;
        wanted = decoder.Feed(firstData_, onContent);
    }
    while (wanted) {
        std::size_t count = 0;
        if (!ReadBlock(count)) return false;
        if (count == 0) break;
        if (IsEntryHeader(*current_)) {
            heldBack_ = true;
            break;
        }
        wanted = decoder.Feed(*current_, onContent);
    }
    lastContentHadRecord_ = decoder.sawDataRecord();
    data_ = Data::None;
    if (wanted && decoder.endsInsideARecord()) {
        return Fail("the data of " + entryName() + " ends inside a stream record");
    }
    return wanted;
}

}  // namespace vocell::archive
