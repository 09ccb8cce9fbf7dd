#include "archive/BackupStream.h"

#include <algorithm>

namespace vocell::archive {
namespace {

constexpr std::size_t kStreamIdOffset = 0;
constexpr std::size_t kStreamAttributesOffset = 4;
constexpr std::size_t kStreamSizeOffset = 8;
constexpr std::size_t kStreamNameSizeOffset = 16;
// A record size this large cannot describe a card file; reading it as one would only mislead.
constexpr std::uint64_t kLargestRecordSize = std::uint64_t{1} << 62;

template <class T>
void PutLittleEndian(StreamHeader& header, std::size_t offset, T value) {
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        header[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFFu);
    }
}

template <class T>
T GetLittleEndian(std::span<const char, kStreamHeaderSize> bytes, std::size_t offset) {
    T value = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        value |= static_cast<T>(static_cast<T>(static_cast<unsigned char>(bytes[offset + i])) << (8 * i));
    }
    return value;
}

}  // namespace

StreamHeader EncodeDataRecordHeader(std::uint64_t contentSize) {
    StreamHeader header{};
    PutLittleEndian<std::uint32_t>(header, kStreamIdOffset, kBackupDataId);
    PutLittleEndian<std::uint64_t>(header, kStreamSizeOffset, contentSize);
    return header;
}

StreamRecordHeader ParseStreamRecordHeader(std::span<const char, kStreamHeaderSize> bytes) {
    StreamRecordHeader header;
    header.id = GetLittleEndian<std::uint32_t>(bytes, kStreamIdOffset);
    header.attributes = GetLittleEndian<std::uint32_t>(bytes, kStreamAttributesOffset);
    header.size = GetLittleEndian<std::uint64_t>(bytes, kStreamSizeOffset);
    header.nameSize = GetLittleEndian<std::uint32_t>(bytes, kStreamNameSizeOffset);
    return header;
}

std::optional<std::uint64_t> ReadableDataRecordSize(const Block& firstDataBlock) {
    StreamRecordHeader header = ParseStreamRecordHeader(
        std::span<const char, kStreamHeaderSize>(firstDataBlock.data(), kStreamHeaderSize));
    if (header.id != kBackupDataId || header.nameSize != 0) return std::nullopt;
    if (header.size >= kLargestRecordSize) return std::nullopt;
    return header.size;
}

bool BackupStreamDecoder::Feed(std::span<const char> bytes, const ContentFn& onContent) {
    while (!bytes.empty() && state_ != State::Stopped) {
        if (state_ == State::Header) {
            std::size_t take = std::min(bytes.size(), kStreamHeaderSize - headerFill_);
            std::copy_n(bytes.begin(), take, header_.begin() + static_cast<long>(headerFill_));
            headerFill_ += take;
            bytes = bytes.subspan(take);
            if (headerFill_ < kStreamHeaderSize) break;
            headerFill_ = 0;
            current_ = ParseStreamRecordHeader(header_);
            if (current_.id == 0 || current_.id > kLastKnownStreamId || current_.size >= kLargestRecordSize) {
                state_ = State::Stopped;
                break;
            }
            remaining_ = current_.nameSize;
            state_ = State::Name;
            sawDataRecord_ = sawDataRecord_ || current_.id == kBackupDataId;
        }
        if (state_ == State::Name) {
            std::size_t take = static_cast<std::size_t>(std::min<std::uint64_t>(bytes.size(), remaining_));
            bytes = bytes.subspan(take);
            remaining_ -= take;
            if (remaining_ > 0) break;
            remaining_ = current_.size;
            state_ = State::Content;
        }
        if (state_ == State::Content) {
            std::size_t take = static_cast<std::size_t>(std::min<std::uint64_t>(bytes.size(), remaining_));
            if (current_.id == kBackupDataId && take > 0 && !onContent(bytes.first(take))) {
                return false;
            }
            bytes = bytes.subspan(take);
            remaining_ -= take;
            if (remaining_ == 0) state_ = State::Header;
        }
    }
    return true;
}

}  // namespace vocell::archive
