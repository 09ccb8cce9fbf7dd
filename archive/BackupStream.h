#pragma once
// The backup stream of a file: records each headed by a 20-byte stream header (identifier,
// attributes, 64-bit size, name size, all little-endian), the way Windows backup streams are laid
// out. A file is stored as one BACKUP_DATA record carrying its whole content; we build and parse
// that record ourselves on every platform.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "archive/ArchiveLayout.h"

namespace vocell::archive {

inline constexpr std::size_t kStreamHeaderSize = 20;
inline constexpr std::uint32_t kBackupDataId = 1;
inline constexpr std::uint32_t kLastKnownStreamId = 10;  // BACKUP_TXFS_DATA

using StreamHeader = std::array<char, kStreamHeaderSize>;

struct StreamRecordHeader {
    std::uint32_t id = 0;
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;
    std::uint32_t nameSize = 0;
};

StreamHeader EncodeDataRecordHeader(std::uint64_t contentSize);
StreamRecordHeader ParseStreamRecordHeader(std::span<const char, kStreamHeaderSize> bytes);

// The content size of an entry whose first data block begins with a readable BACKUP_DATA record
// (identifier 1, no name, a plausible size); nothing otherwise.
std::optional<std::uint64_t> ReadableDataRecordSize(const Block& firstDataBlock);

// Number of data blocks the writer emits for a stream of streamLength bytes.
constexpr std::uint64_t DataBlockCount(std::uint64_t streamLength) { return streamLength / kBlockSize + 1; }

// Restores content from stream bytes of unknown length (an archive of another origin): the
// content of BACKUP_DATA records is handed on, other records are passed over, and everything from
// the first header that is not a stream header on is ignored.
class BackupStreamDecoder {
public:
    using ContentFn = std::function<bool(std::span<const char>)>;

    // Returns false when onContent asked to stop.
    bool Feed(std::span<const char> bytes, const ContentFn& onContent);
    [[nodiscard]] bool sawDataRecord() const { return sawDataRecord_; }
    // True when the bytes fed so far end in the middle of a record's name or content.
    [[nodiscard]] bool endsInsideARecord() const { return state_ == State::Name || state_ == State::Content; }

private:
    enum class State { Header, Name, Content, Stopped };
    State state_ = State::Header;
    StreamHeader header_{};
    std::size_t headerFill_ = 0;
    StreamRecordHeader current_;
    std::uint64_t remaining_ = 0;
    bool sawDataRecord_ = false;
};

}  // namespace vocell::archive
