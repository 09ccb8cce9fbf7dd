#pragma once

#include <optional>
// FileReader and FileWriter on an open file descriptor.

#include <utility>

#include "platform/FileSystem.h"
#include "platform/posix/EntryMetadata.h"
#include "platform/posix/UniqueFd.h"

namespace vocell::posix {

class PosixFileReader final : public FileReader {
public:
    explicit PosixFileReader(UniqueFd fd) : fd_(std::move(fd)) {}

    FsResult<std::size_t> Read(std::span<std::byte> buffer) override;
    FsResult<std::uint64_t> Size() override;
    FsResult<FileTimes> Times() override;
    FsStatus Rewind() override;
    FsResult<FileStamp> Stamp() override;

private:
    FsStatus LoadInfo();

    UniqueFd fd_;
    std::optional<OpenFileInfo> info_;  // asked once: a backup wants both size and times
};

class PosixFileWriter final : public FileWriter {
public:
    explicit PosixFileWriter(UniqueFd fd) : fd_(std::move(fd)) {}

    FsStatus Write(std::span<const std::byte> data) override;
    FsStatus Truncate(std::uint64_t size) override;
    FsStatus SetTimes(const FileTimes& times) override;
    FsStatus Flush() override;
    FsStatus Close() override;

private:
    void StartWriteBack(std::uint64_t written);

    UniqueFd fd_;  // invalid once closed
    std::uint64_t position_ = 0;
    std::uint64_t writeBackFrom_ = 0;
};

}  // namespace vocell::posix
