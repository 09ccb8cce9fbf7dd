#pragma once
// FileReader and FileWriter on an open file descriptor.

#include <utility>

#include "platform/FileSystem.h"
#include "platform/posix/UniqueFd.h"

namespace vocell::posix {

class PosixFileReader final : public FileReader {
public:
    explicit PosixFileReader(UniqueFd fd) : fd_(std::move(fd)) {}

    FsResult<std::size_t> read(std::span<std::byte> buffer) override;
    FsResult<std::uint64_t> size() override;
    FsResult<FileTimes> times() override;
    FsStatus rewind() override;

private:
    UniqueFd fd_;
};

class PosixFileWriter final : public FileWriter {
public:
    explicit PosixFileWriter(UniqueFd fd) : fd_(std::move(fd)) {}

    FsStatus write(std::span<const std::byte> data) override;
    FsStatus truncate(std::uint64_t size) override;
    FsStatus setTimes(const FileTimes& times) override;
    FsStatus flush() override;
    FsStatus close() override;

private:
    UniqueFd fd_;  // invalid once closed
};

}  // namespace vocell::posix
