#pragma once
// FileReader and FileWriter on an open file descriptor.

#include <optional>
#include <utility>

#include "platform/FileSystem.h"
#include "platform/posix/EntryMetadata.h"
#include "platform/posix/UniqueFd.h"

namespace vocell::posix {

class PosixFileReader final : public FileReader {
public:
    // info: what the open asked of the file already; fat: whether it lies on FAT.
    PosixFileReader(UniqueFd fd, const OpenFileInfo& info, bool fat)
        : fd_(std::move(fd)), info_(info), fat_(fat) {}

    FsResult<std::size_t> Read(std::span<std::byte> buffer) override;
    FsResult<std::uint64_t> Size() override { return info_.size; }
    FsResult<FileTimes> Times() override { return info_.times; }
    FsResult<std::uint32_t> Attributes() override;
    FsStatus Rewind() override;
    FsResult<FileStamp> Stamp() override;
    void Prefetch() override;

private:
    UniqueFd fd_;
    OpenFileInfo info_;  // asked once, at the open: a backup wants size, times and attributes
    bool fat_;
};

class PosixFileWriter final : public FileWriter {
public:
    PosixFileWriter(UniqueFd fd, bool fat) : fd_(std::move(fd)), fat_(fat) {}

    FsStatus Write(std::span<const std::byte> data) override;
    FsStatus Truncate(std::uint64_t size) override;
    FsStatus SetTimes(const FileTimes& times) override;
    FsStatus SetAttributes(std::uint32_t attributes) override;
    FsStatus Flush() override;
    FsStatus Close() override;

private:
    void StartWriteBack(std::uint64_t written);

    UniqueFd fd_;  // invalid once closed
    bool fat_;
    std::uint64_t position_ = 0;
    std::uint64_t writeBackFrom_ = 0;
};

}  // namespace vocell::posix
