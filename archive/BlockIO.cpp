#include "archive/BlockIO.h"

#include <algorithm>
#include <cstring>

namespace vocell::archive {

FsStatus BlockReader::Refill() {
    std::copy(buffer_.begin() + static_cast<long>(position_), buffer_.begin() + static_cast<long>(filled_),
              buffer_.begin());
    filled_ -= position_;
    position_ = 0;
    while (!atEnd_ && filled_ < buffer_.size()) {
        auto read = file_.Read(
            std::as_writable_bytes(std::span<char>(buffer_.data() + filled_, buffer_.size() - filled_)));
        if (!read.ok()) return read.status();
        if (read.value() == 0) atEnd_ = true;
        filled_ += read.value();
    }
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

FsStatus ArchiveSink::Finish() {
    WriteBuffer();
    return failure_;
}

}  // namespace vocell::archive
