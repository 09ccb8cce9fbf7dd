#pragma once
// Buffered block input and output for archives: the format moves 1,024-byte blocks, the platform
// is asked for larger pieces so that a card is read and written in few calls.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "archive/ArchiveLayout.h"
#include "archive/StreamChecksum.h"
#include "platform/FileSystem.h"

namespace vocell::archive {

class ArchiveReadBack;

inline constexpr std::size_t kIoBufferSize = 64 * 1024;
// An archive is read in larger pieces: a disk that has not cached it yet delivers it about twice as
// fast to 1 MiB reads as to 64 KiB ones.
inline constexpr std::size_t kArchiveReadSize = 1024 * 1024;

class BlockReader {
public:
    // readSize: how much is asked of the file at a time.
    explicit BlockReader(FileReader& file, std::size_t readSize = kArchiveReadSize)
        : file_(file), blocks_(readSize / kBlockSize) {}

    // Points block at the next block of the archive, in the reader's own buffer (so that nothing
    // is copied) and valid until the next call, and returns how many of its bytes the file held:
    // a whole block, a short count only at the end of the file (the rest of the block is zero),
    // 0 at the end.
    FsResult<std::size_t> Next(const Block*& block);
    [[nodiscard]] std::uint64_t consumed() const { return consumed_; }

private:
    FsStatus Refill();

    FileReader& file_;
    std::vector<Block> blocks_;
    std::size_t position_ = 0;  // bytes of blocks_ handed out
    std::size_t filled_ = 0;    // bytes of blocks_ read from the file
    bool atEnd_ = false;
    std::uint64_t consumed_ = 0;
};

// Appends blocks to an archive file, remembering the first failure; after a failure further
// appends are dropped.
class ArchiveSink {
public:
    explicit ArchiveSink(FileWriter& file) : file_(file) { buffer_.reserve(kIoBufferSize); }

    void Append(const Block& block);
    // Appends whole blocks (a multiple of kBlockSize bytes) in one go.
    void AppendBlocks(std::span<const char> blocks);
    [[nodiscard]] std::uint64_t position() const { return written_ + buffer_.size(); }
    // Drops everything appended after position (an entry that turned out unreadable).
    void RewindTo(std::uint64_t position);
    // Writes out what is buffered; returns the first failure of the whole archive.
    FsStatus Finish();
    [[nodiscard]] bool failed() const { return !failure_.ok(); }
    [[nodiscard]] FsStatus failure() const { return failure_; }
    // The checksum of every byte handed to the file, once it has them all (after Finish);
    // nothing after a rewind cut into what the file had been given.
    [[nodiscard]] std::optional<std::uint64_t> checksum() const;
    [[nodiscard]] std::uint64_t written() const { return written_; }
    // Tells readBack of every piece the file is handed, and of a rewind that cuts into them.
    void ReadBackBy(ArchiveReadBack& readBack) { readBack_ = &readBack; }

private:
    void WriteBuffer();

    FileWriter& file_;
    std::vector<char> buffer_;
    std::uint64_t written_ = 0;
    FsStatus failure_;
    StreamChecksum checksum_;
    bool checksumKnown_ = true;
    ArchiveReadBack* readBack_ = nullptr;
};

// Cuts an entry's backup stream into blocks the way the format wants them: the block buffer is never
// cleared between blocks, so the last block's filler repeats the bytes of the block before it, and
// the last block is appended even when the stream ends on a block boundary.
class StreamBlocks {
public:
    explicit StreamBlocks(ArchiveSink& sink) : sink_(sink) {}

    void Put(std::span<const char> bytes);
    // The last block: the remaining stream bytes (possibly none), then the filler.
    void Finish() { sink_.Append(block_); }

private:
    ArchiveSink& sink_;
    Block block_{};
    std::size_t filled_ = 0;
};

}  // namespace vocell::archive
