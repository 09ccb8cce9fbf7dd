#pragma once
// The check an archive passes before it may touch a card: it can be read, it is whole and well
// formed, and it does not lie on the card it would be written to.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/FileSystem.h"

namespace vocell::archive {

class ExtractionProgress;

// Whether an archive file can be extracted onto a card.
enum class ArchiveFault { None, Unreadable, Damaged, OnTheCard };
struct [[nodiscard]] ArchiveCheck {
    ArchiveFault fault = ArchiveFault::None;
    std::string problem;  // what is wrong, for Unreadable and Damaged
    [[nodiscard]] bool sound() const { return fault == ArchiveFault::None; }
};

// How much an archive's entries hold, counted apart for the card's prompt tree and the rest.
struct ArchiveContent {
    struct Part {
        std::uint64_t files = 0;
        std::uint64_t folders = 0;
        std::uint64_t fileBytes = 0;  // the content sizes the files' records promise
    };
    Part prompts;
    Part others;
};

// An archive opened and checked; when sound, it is extracted through the same handle, so what was
// checked is what is written.
struct CheckedArchive {
    ArchiveCheck check;
    std::string path;
    std::unique_ptr<FileReader> reader;
    std::uint64_t length = 0;
    std::string version;  // the prompt version its header block carries
    FileStamp stamp;      // the file as it was checked
    ArchiveContent content;
};
// The check reads the whole archive; progress, where given, is told how far it has come.
CheckedArchive OpenCheckedArchive(FileSystem& fileSystem, const std::string& archivePath,
                                  const std::string& cardRoot, ExtractionProgress* progress = nullptr);

// Whether path (a file or folder) lies on the card: on its drive, or in its folder by another name.
bool LiesOnCard(FileSystem& fileSystem, const std::string& path, const std::string& cardRoot);

// What is wrong with an archive, if anything: its length, a truncated entry, a damaged header.
std::optional<std::string> ValidateArchive(FileReader& archive, std::uint64_t archiveLength);

}  // namespace vocell::archive
