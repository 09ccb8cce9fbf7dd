// Feeds arbitrary bytes to every archive reader: validation, the scanner with its content, the
// header probe and a whole extraction onto a file system that keeps nothing.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "archive/ArchiveExtraction.h"
#include "archive/ArchiveHeaderProbe.h"
#include "archive/ArchiveScanner.h"

namespace {

using namespace vocell;

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
    void Prefetch() override {}
    FsResult<FileStamp> Stamp() override { return FileStamp{size_, 0}; }
    FsStatus Rewind() override {
        at_ = 0;
        return {};
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

class DiscardingWriter final : public FileWriter {
public:
    FsStatus Write(std::span<const std::byte>) override { return {}; }
    FsStatus Truncate(std::uint64_t) override { return {}; }
    FsStatus SetTimes(const FileTimes&) override { return {}; }
    FsStatus SetAttributes(std::uint32_t) override { return {}; }
    FsStatus Flush() override { return {}; }
    FsStatus Close() override { return {}; }
};

// Accepts everything; the archive at "Z:\a" is the fuzz input.
class DiscardingFileSystem final : public FileSystem {
public:
    DiscardingFileSystem(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    FsResult<std::vector<FolderEntry>> ListFolder(const std::string&) override {
        return std::vector<FolderEntry>{};
    }
    FsResult<std::uint32_t> Attributes(const std::string&) override { return std::uint32_t{0x20}; }
    FsStatus SetAttributes(const std::string&, std::uint32_t) override { return {}; }
    FsResult<std::unique_ptr<FileReader>> OpenRead(const std::string&) override {
        return std::unique_ptr<FileReader>(std::make_unique<MemoryReader>(data_, size_));
    }
    FsResult<std::unique_ptr<FileWriter>> OpenWrite(const std::string&) override {
        return std::unique_ptr<FileWriter>(std::make_unique<DiscardingWriter>());
    }
    FsResult<std::unique_ptr<FileWriter>> CreateNew(const std::string& path) override {
        return OpenWrite(path);
    }
    FsStatus CreateFolder(const std::string&) override { return {}; }
    FsResult<FileTimes> Times(const std::string&) override { return FileTimes{}; }
    FsStatus SetTimes(const std::string&, const FileTimes&) override { return {}; }
    FsStatus DeleteTree(const std::string&) override { return {}; }
    FsResult<std::uint64_t> FileSize(const std::string&) override { return std::uint64_t{size_}; }
    FsStatus Rename(const std::string&, const std::string&) override { return {}; }
    FsStatus RemoveFile(const std::string&) override { return {}; }
    FsStatus FlushVolume(const std::string&) override { return {}; }
    FsStatus FlushFolder(const std::string&) override { return {}; }
    FsResult<std::uint64_t> FreeSpace(const std::string&) override { return std::uint64_t{1} << 40; }
    FsResult<bool> LiesWithin(const std::string& path, const std::string& folder) override {
        return path.starts_with(folder);
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

class NoProgress final : public archive::ExtractionProgress {
public:
    void Step() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        MemoryReader reader(data, size);
        archive::ArchiveScanner scanner(reader, size);
        if (scanner.ReadArchiveHeader()) {
            while (scanner.NextEntry()) {
                if (scanner.entry().kind == archive::EntryKind::File) {
                    scanner.ReadContent([](std::span<const char>) { return true; });
                }
            }
        }
    }
    DiscardingFileSystem fileSystem(data, size);
    static_cast<void>(archive::ReadArchiveVersion(fileSystem, "Z:\\a"));
    NoProgress progress;
    archive::CheckedArchive checked = archive::OpenCheckedArchive(fileSystem, "Z:\\a", "F:\\");
    if (checked.check.sound()) {
        static_cast<void>(archive::ExtractCheckedArchive(fileSystem, checked, "F:\\",
                                                         archive::PromptHandling::KeepCardPrompts, progress));
    }
    MemoryReader unchecked(data, size);
    static_cast<void>(archive::ExtractArchive(fileSystem, "F:\\", unchecked, size,
                                              archive::PromptHandling::ReplaceCardPrompts, progress));
    return 0;
}
