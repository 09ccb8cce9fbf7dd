#pragma once
// FileReader and FileWriter on an open Win32 file handle.

#include <memory>
#include <optional>

#include "platform/FileSystem.h"
#include "platform/win32/UniqueHandle.h"

namespace vocell::win32 {

// The attribute word SetFileAttributes and SetFileInformationByHandle take for an archive's
// attributes: the bits one may set (whether an entry is a folder is not one), normal when none.
DWORD SettableAttributes(std::uint32_t attributes);

// Gives the open entry the times that are set (non-zero); the others stay as they are.
FsStatus SetHandleTimes(HANDLE entry, const FileTimes& times);

// Memory that the system's unbuffered reads can fill: whole pages, freed with the reader.
struct PageBufferRelease {
    void operator()(std::byte* pages) const;
};
using PageBuffer = std::unique_ptr<std::byte, PageBufferRelease>;

class Win32FileReader final : public FileReader {
public:
    explicit Win32FileReader(FileHandle file) : file_(std::move(file)) {}
    // A file opened with FILE_FLAG_NO_BUFFERING: it is read in whole sectors into a page buffer
    // of its own, so that what is read comes from the medium.
    static std::unique_ptr<Win32FileReader> Unbuffered(FileHandle file);

    FsResult<std::size_t> Read(std::span<std::byte> buffer) override;
    FsResult<std::uint64_t> Size() override;
    FsResult<FileTimes> Times() override;
    FsResult<std::uint32_t> Attributes() override;
    FsResult<FileStamp> Stamp() override;
    FsStatus Rewind() override;
    // The handle is opened for sequential reading, so the system reads ahead of its own accord.
    void Prefetch() override {}

private:
    struct Information {
        std::uint64_t size = 0;
        FileTimes times;
        std::uint32_t attributes = 0;
    };
    FsResult<Information> Query() const;
    FsStatus LoadFirstInformation();

    FsResult<std::size_t> ReadUnbuffered(std::span<std::byte> buffer);

    FileHandle file_;
    std::optional<Information> first_;  // asked once: a backup wants both size and times
    PageBuffer pages_;                  // only for an unbuffered file
    std::size_t pagesFilled_ = 0;
    std::size_t pagesTaken_ = 0;
};

class Win32FileWriter final : public FileWriter {
public:
    explicit Win32FileWriter(FileHandle file) : file_(std::move(file)) {}

    FsStatus Write(std::span<const std::byte> data) override;
    FsStatus Truncate(std::uint64_t size) override;
    // A time of 0 leaves that time as it is.
    FsStatus SetTimes(const FileTimes& times) override;
    FsStatus SetAttributes(std::uint32_t attributes) override;
    FsStatus Flush() override;
    // Flushes the file to the medium before closing it: a card may be pulled out as soon as the
    // utility says it is done, and unprivileged programs cannot flush a whole volume.
    FsStatus Close() override;

private:
    FileHandle file_;  // invalid once closed
};

}  // namespace vocell::win32
