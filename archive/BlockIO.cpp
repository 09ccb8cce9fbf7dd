#include "archive/BlockIO.h"

#include "archive/ArchiveReadBack.h"

#include <algorithm>
#include <cstring>

namespace vocell::archive {

// Called only when every byte read has been handed out: the buffer refills from its start, so
// blocks stay aligned with it.
FsStatus BlockReader::Refill() {
    position_ = 0;
    filled_ = 0;
    auto bytes = std::as_writable_bytes(std::span<Block>(blocks_));
    auto read = ReadFully(file_, bytes);
    if (!read.ok()) return read.status();
    filled_ = read.value();
    atEnd_ = filled_ < bytes.size();
    if (filled_ % kBlockSize != 0) {  // a last block cut short: the rest reads as zero
        std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(filled_),
                  bytes.begin() + static_cast<std::ptrdiff_t>(filled_ + kBlockSize - filled_ % kBlockSize),
                  std::byte{0});
    }
    return {};
}

FsResult<std::size_t> BlockReader::Next(const Block*& block) {
    if (position_ == filled_ && !atEnd_) {
        FsStatus status = Refill();
        if (!status.ok()) return status;
    }
    const std::size_t count = std::min(kBlockSize, filled_ - position_);
    block = &blocks_[position_ / kBlockSize];
    position_ += count;
    consumed_ += count;
    return count;
}

void ArchiveSink::Append(const Block& block) { AppendBlocks(block); }

void ArchiveSink::AppendBlocks(std::span<const char> blocks) {
    if (failed()) return;
    buffer_.insert(buffer_.end(), blocks.begin(), blocks.end());
    if (buffer_.size() >= kIoBufferSize) WriteBuffer();
}

void ArchiveSink::WriteBuffer() {
    if (failed() || buffer_.empty()) return;
    failure_ = file_.Write(std::as_bytes(std::span<const char>(buffer_)));
    if (!failed()) {
        written_ += buffer_.size();
        checksum_.Update(buffer_);
        if (readBack_ != nullptr) readBack_->Written(written_);
    }
    buffer_.clear();
}

void ArchiveSink::RewindTo(std::uint64_t position) {
    if (failed() || position >= this->position()) return;
    if (position >= written_) {
        buffer_.resize(static_cast<std::size_t>(position - written_));
        return;
    }
    buffer_.clear();
    failure_ = file_.Truncate(position);
    written_ = position;
    checksumKnown_ = false;
    if (readBack_ != nullptr) readBack_->Restart();
}

std::optional<std::uint64_t> ArchiveSink::checksum() const {
    if (!checksumKnown_ || !buffer_.empty()) return std::nullopt;
    return checksum_.digest();
}

void StreamBlocks::Put(std::span<const char> bytes) {
    if (filled_ > 0) {  // first the block an earlier piece began
        const std::size_t take = std::min(bytes.size(), kBlockSize - filled_);
        std::copy_n(bytes.begin(), take, block_.begin() + static_cast<std::ptrdiff_t>(filled_));
        filled_ += take;
        bytes = bytes.subspan(take);
        if (filled_ < kBlockSize) return;
        sink_.Append(block_);
        filled_ = 0;
    }
    // Whole blocks go to the sink straight from the piece; the block buffer then holds the last of
    // them, as if each had passed through it, for the filler of a later block.
    const std::size_t whole = bytes.size() - bytes.size() % kBlockSize;
    if (whole > 0) {
        sink_.AppendBlocks(bytes.first(whole));
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(whole - kBlockSize), kBlockSize,
                    block_.begin());
        bytes = bytes.subspan(whole);
    }
    std::copy(bytes.begin(), bytes.end(), block_.begin());
    filled_ = bytes.size();
}

FsStatus ArchiveSink::Finish() {
    WriteBuffer();
    return failure_;
}

}  // namespace vocell::archive
