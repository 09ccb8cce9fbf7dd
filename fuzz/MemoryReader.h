#pragma once
// A FileReader over the fuzz input, so that the readers see the bytes exactly as given.

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/FileSystem.h"

namespace vocell::fuzz {

class MemoryReader final : public FileReader {
public:
    MemoryReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    FsResult<std::size_t> Read(std::span<std::byte> buffer) override {
        const std::size_t count = std::min(buffer.size(), size_ - at_);
        if (count > 0) std::memcpy(buffer.data(), data_ + at_, count);
        at_ += count;
        return count;
    }
    FsResult<std::uint64_t> Size() override { return std::uint64_t{size_}; }
    FsResult<FileTimes> Times() override { return FileTimes{}; }
    FsResult<std::uint32_t> Attributes() override { return std::uint32_t{FileAttribute::Archive}; }
    FsResult<FileStamp> Stamp() override { return FileStamp{size_, 0}; }
    void Prefetch() override {}
    FsStatus Rewind() override {
        at_ = 0;
        return {};
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

}  // namespace vocell::fuzz
