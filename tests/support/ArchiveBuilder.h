#pragma once
// Builds archives byte by byte inside a test, independently of the production writer, so that
// readers can be tested on exactly the blocks a case needs.

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>

#include "archive/ArchiveExtraction.h"
#include "archive/ArchiveLayout.h"
#include "archive/EntryHeader.h"

namespace vocell::test {

class ArchiveBuilder {
public:
    explicit ArchiveBuilder(const std::string& version = "");

    // An entry header and one zero data block.
    ArchiveBuilder& Folder(const std::string& storedPath, std::uint32_t attributes = 0x10,
                           FileTimes times = {});
    // An entry header and the file's BACKUP_DATA record cut into blocks the way the format
    // wants (filler repeating the block before).
    ArchiveBuilder& File(const std::string& storedPath, const std::string& content,
                         std::uint32_t attributes = 0x20, FileTimes times = {});
    // The file at relative ("VM/MSGS/M1.WAV") on E:, after an entry for each of its folders not
    // yet added this way, stored as the writer stores them (separators before folders doubled).
    ArchiveBuilder& Tree(const std::string& relative, const std::string& content);
    ArchiveBuilder& Header(const archive::EntryHeader& header);
    ArchiveBuilder& AddBlock(const archive::Block& block);
    ArchiveBuilder& Raw(const std::string& bytes);
    // Cuts the archive to its first length bytes.
    ArchiveBuilder& RawTruncated(std::size_t length);

    [[nodiscard]] const std::string& bytes() const { return bytes_; }
    void WriteTo(const std::filesystem::path& file) const;

private:
    std::string bytes_;
    std::set<std::string> treeFolders_;
};

// A block of the given text at its start, zero after it.
archive::Block BlockOf(const std::string& text);
std::string StreamOf(const std::string& content);  // record header + content

// Counts the steps of an extraction's progress.
class CountingProgress final : public archive::ExtractionProgress {
public:
    void Step() override { ++steps; }
    int steps = 0;
};

}  // namespace vocell::test
