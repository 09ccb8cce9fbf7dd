#include "archive/BlockIO.h"

#include <algorithm>
#include <cstring>

namespace vocell::archive {

FsStatus BlockReader::Refill() {
    std::copy(buffer_.begin() + static_cast<long>(position_), buffer_.begin() + static_cast<long>(filled_),
              buffer_.begin());
    filled_ -= position_;
    position_ = 0;
    auto read = ReadFully(file_, std::as_writable_bytes(std::span<char>(buffer_).subspan(filled_)));
    if (!read.ok()) return read.status();
    atEnd_ = filled_ + read.value() < buffer_.size();
    filled_ += read.value();
    return {};
}

FsResult<std::size_t> BlockReader::Next(Block& block) {
    if (filled_ - position_ < kBlockSize && !atEnd_) {
        FsStatus status = Refill();
        if (!status.ok()) return status;
    }
    std::size_t count = std::min(kBlockSize, filled_ - position_);
    std::memcpy(block.data(), buffer_.data() + position_, count);
    position_ += count;
    consumed_ += count;
    return count;
}

void ArchiveSink::Append(const Block& block) {
    if (failed()) return;
    buffer_.insert(buffer_.end(), block.begin(), block.end());
    if (buffer_.size() >= kIoBufferSize) WriteBuffer();
}

void ArchiveSink::WriteBuffer() {
    if (failed() || buffer_.empty()) return;
    failure_ = file_.Write(std::as_bytes(std::span<const char>(buffer_)));
    if (!failed()) written_ += buffer_.size();
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
}

void StreamBlocks::Put(std::span<const char> bytes) {
    while (!bytes.empty()) {
        const std::size_t take = std::min(bytes.size(), kBlockSize - filled_);
        std::copy_n(bytes.begin(), take, block_.begin() + static_cast<std::ptrdiff_t>(filled_));
        filled_ += take;
        bytes = bytes.subspan(take);
        if (filled_ == kBlockSize) {
            sink_.Append(block_);
            filled_ = 0;
        }
    }
}

FsStatus ArchiveSink::Finish() {
    WriteBuffer();
    return failure_;
}

}  // namespace vocell::archive
