#pragma once
// The listing of an archive's entries, as text for a person or as JSON for a script.

#include <cstdint>
#include <string>
#include <vector>

#include "archive/ArchiveScanner.h"

namespace vocell::cli {

struct ListedEntry {
    archive::EntryKind kind;
    std::uint32_t attributes;
    std::uint64_t lastWrite;  // FILETIME
    std::uint64_t contentSize;
    std::string path;
};

// "2026-12-06 20:28:36" (UTC) for a FILETIME; "-" for 0.
std::string FileTimeText(std::uint64_t fileTime);
std::string ListingText(const std::string& version, const std::vector<ListedEntry>& entries);
std::string ListingJson(const std::string& version, const std::vector<ListedEntry>& entries);
// A JSON string literal; bytes above 127 are read as Latin-1, the cards' character set.
std::string JsonString(const std::string& text);

}  // namespace vocell::cli
