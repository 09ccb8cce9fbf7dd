#pragma once
// Compares an archive with a card: every entry against what the card holds at its path.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace vocell::archive {

struct Difference {
    std::string path;  // on the card
    std::string what;
};

struct ComparisonResult {
    std::optional<std::string> unreadable;      // the archive could not be read, and why
    std::optional<std::string> archiveProblem;  // the archive is damaged; comparison stopped
    std::uint64_t entriesCompared = 0;
    std::vector<Difference> differences;
};

// FAT keeps last-write times to two seconds.
inline constexpr std::uint64_t kTimeTolerance = 2 * kFileTimeTicksPerSecond;
// The attribute bits every platform restores.
inline constexpr std::uint32_t kComparedAttributes = FileAttribute::ReadOnly | FileAttribute::Directory;

ComparisonResult CompareArchiveWithCard(FileSystem& fileSystem, const std::string& archivePath,
                                        const std::string& cardRoot);

}  // namespace vocell::archive
