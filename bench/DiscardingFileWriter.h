#pragma once
// A FileWriter that drops what it is given and only counts it, so that a benchmark measures the
// archive code and not the disk.

#include <cstdint>

#include "platform/FileSystem.h"

namespace vocell::bench {

class DiscardingFileWriter final : public FileWriter {
public:
    FsStatus Write(std::span<const std::byte> data) override {
        written_ += data.size();
        return {};
    }
    FsStatus Truncate(std::uint64_t size) override {
        written_ = size;
        return {};
    }
    FsStatus SetTimes(const FileTimes& /*times*/) override { return {}; }
    FsStatus SetAttributes(std::uint32_t /*attributes*/) override { return {}; }
    FsStatus Flush() override { return {}; }
    FsStatus Close() override { return {}; }

    [[nodiscard]] std::uint64_t written() const { return written_; }

private:
    std::uint64_t written_ = 0;
};

}  // namespace vocell::bench
