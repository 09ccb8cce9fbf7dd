#pragma once

#include <string>

namespace vocell::archive {

// What the archive readers share with the card operations for the length of the program.
struct ArchiveState {
    // Set once the card's prompt folder has been dealt with in the running operation; each
    // operation that extracts clears it first.
    bool promptsCleared = false;
    // Set when the last extraction stopped or left entries out; cleared by each extraction and by
    // the header probe.
    bool extractionFailed = false;
    // The prompt version of the archive probed last.
    std::string archiveVersion;
};

}  // namespace vocell::archive
