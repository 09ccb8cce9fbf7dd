#pragma once
// Builds archives byte by byte inside a test, independently of the production writer, so that
// readers can be tested on exactly the blocks a case needs.

#include <cstdint>
#include <filesystem>
#include <string>

#include "archive/ArchiveExtraction.h"
#include "archive/ArchiveLayout.h"
#include "archive/EntryHeader.h"

namespace vocell::test {

class ArchiveBuilder {
public:
    explicit ArchiveBuilder(const std::string& version = "");

    // An entry header and one zero data block.
    ArchiveBuilder& folder(const std::string& storedPath, std::uint32_t attributes = 0x10,
                           FileTimes times = {});
    // An entry header and the file's BACKUP_DATA record cut into blocks the way the format
    // wants (filler repeating the block before).
    ArchiveBuilder& file(const std::string& storedPath, const std::string& content,
                         std::uint32_t attributes = 0x20, FileTimes times = {});
    ArchiveBuilder& header(const archive::EntryHeader& header);
    ArchiveBuilder& block(const archive::Block& block);
    ArchiveBuilder& raw(const std::string& bytes);
    // Cuts the archive to its first length bytes.
    ArchiveBuilder& rawTruncated(std::size_t length);

    [[nodiscard]] const std::string& bytes() const { return bytes_; }
    void writeTo(const std::filesystem::path& file) const;

private:
    std::string bytes_;
};

// A block of the given text at its start, zero after it.
archive::Block BlockOf(const std::string& text);
std::string StreamOf(const std::string& content);  // record header + content

// Remembers what an extraction showed.
class RecordingListener final : public archive::ExtractionListener {
public:
    void beginProgress() override { ++begun; }
    void stepProgress() override { ++steps; }
    void endProgress() override { ++ended; }
    void showMessage(const std::string& text) override { messages.push_back(text); }

    int begun = 0;
    int steps = 0;
    int ended = 0;
    std::vector<std::string> messages;
};

}  // namespace vocell::test
