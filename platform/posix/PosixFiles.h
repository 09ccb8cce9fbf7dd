#pragma once
// FileReader and FileWriter on an open file descriptor.

#include <memory>
#include <optional>
#include <utility>

#include "platform/FileSystem.h"
#include "platform/posix/EntryMetadata.h"
#include "platform/posix/UniqueFd.h"

namespace vocell::posix {

// Shared by the readers of one file system: whether reads have to wait for the medium. Every
// read first asks for what is in memory without waiting; while that serves, asking the kernel to
// read files ahead would only cost a call per file. A read now and then finds a page busy, so it
// takes a few waits close together to turn reading ahead on, and a long run of reads without a
// wait turns it off again. A file system that cannot tell is read ahead always.
class MediumPace {
public:
    [[nodiscard]] bool readsAhead() const { return waits_ >= kWaitsToReadAhead; }
    [[nodiscard]] bool canTell() const { return canTell_; }
    void Waited() {
        ++waits_;
        readsSinceWait_ = 0;
    }
    void DidNotWait() {
        if (!canTell_) return;
        if (readsSinceWait_ < kReadsToForget && ++readsSinceWait_ == kReadsToForget) waits_ = 0;
    }
    void CannotTell() {
        canTell_ = false;
        waits_ = kWaitsToReadAhead;
    }

private:
    static constexpr int kWaitsToReadAhead = 4;
    static constexpr int kReadsToForget = 1024;
    int waits_ = 0;
    int readsSinceWait_ = 0;
    bool canTell_ = true;
};

class PosixFileReader final : public FileReader {
public:
    // info: what the open asked of the file already; fat: whether it lies on FAT.
    PosixFileReader(UniqueFd fd, const OpenFileInfo& info, bool fat, std::shared_ptr<MediumPace> pace)
        : fd_(std::move(fd)), info_(info), fat_(fat), pace_(std::move(pace)) {}

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
    std::shared_ptr<MediumPace> pace_;
};

class PosixFileWriter final : public FileWriter {
public:
    // mode: the file's mode where it is known without asking (a file just created).
    PosixFileWriter(UniqueFd fd, bool fat, std::optional<mode_t> mode = std::nullopt)
        : fd_(std::move(fd)), fat_(fat), mode_(mode) {}

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
    std::optional<mode_t> mode_;
    std::uint64_t position_ = 0;
    std::uint64_t writeBackFrom_ = 0;
};

}  // namespace vocell::posix
