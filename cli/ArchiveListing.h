#pragma once
// The listing of an archive's entries, as text for a person or as JSON for a script.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "archive/ArchiveScanner.h"

namespace vocell::cli {

struct ListedEntry {
    archive::EntryKind kind;
    std::uint32_t attributes;
    std::uint64_t lastWrite;  // FILETIME
    std::uint64_t contentSize;
    std::string path;
    std::string incomplete;  // why the archive holds the file only in part; empty when whole
};

// Text safe to print on a terminal: control characters are shown as \xHH, so that a name read from
// an archive cannot move the cursor, retitle the window or clear the screen. Line breaks stay when
// keepLineBreaks is set.
std::string TerminalText(std::string_view text, bool keepLineBreaks);
// "2026-12-06 20:28:36" (UTC) for a FILETIME; "-" for 0; "invalid" past the year 9999.
std::string FileTimeText(std::uint64_t fileTime);
std::string ListingText(const std::string& version, const std::vector<ListedEntry>& entries);
std::string ListingJson(const std::string& version, const std::vector<ListedEntry>& entries);
// A JSON string literal; bytes above 127 are read as Latin-1, the cards' character set.
std::string JsonString(const std::string& text);

}  // namespace vocell::cli
