#pragma once
// FileReader and FileWriter on an open file descriptor.

#include <memory>
#include <optional>
#include <utility>

#include "platform/FileSystem.h"
#include "platform/linux/files/EntryMetadata.h"
#include "platform/linux/files/UniqueFd.h"

namespace vocell::posix {

// Shared by the readers of one file system: whether reads have to wait for the medium. While
// reads find their data in memory, every read asks only for what is there, and asking the kernel
// to read files ahead would only cost a call per file. A read now and then finds a page busy, so
// it takes many waits close together to turn reading ahead on, as the first reads of a card not
// in memory do; it then stays on (a read of a file read ahead finds it in memory, so that no
// longer tells whether the medium is slow). A file system that cannot tell is read ahead always.
class MediumPace {
public:
    [[nodiscard]] bool readsAhead() const { return waits_ >= kWaitsToReadAhead; }
    // Whether the next read asks for what is in memory before it waits for the medium.
    [[nodiscard]] bool asksFirst() const { return !readsAhead(); }
    void Waited() {
        ++waits_;
        quietReads_ = 0;
    }
    void DidNotWait() {
        if (!readsAhead() && ++quietReads_ >= kReadsToForget) {
            waits_ = 0;
            quietReads_ = 0;
        }
    }
    void CannotTell() { waits_ = kWaitsToReadAhead; }

private:
    static constexpr int kWaitsToReadAhead = 16;
    static constexpr int kReadsToForget = 1024;
    int waits_ = 0;
    int quietReads_ = 0;  // reads in a row that did not wait
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
    bool RereadFromMedium(std::uint64_t offset, std::uint64_t length) override;

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
    bool WaitUntilOnMedium(std::uint64_t offset, std::uint64_t length) override;
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
