#pragma once
// Whether a card can hold what a restore would write onto it, worked out before the card changes:
// a card that surely cannot is never half restored and left full.

#include <cstdint>
#include <optional>
#include <string>

#include "archive/ArchiveCheck.h"
#include "archive/ArchiveExtraction.h"
#include "platform/FileSystem.h"

namespace vocell::archive {

struct SpaceShortfall {
    std::uint64_t neededBytes = 0;  // at least this much
    std::uint64_t freeBytes = 0;
};

// What the extraction of a sound checked archive onto cardRoot needs at least: each file's size
// rounded up to the card's allocation unit, a unit for each folder the card lacks and for the
// interrupted-restore mark, less what the files it replaces (and the prompt folder it deletes)
// give back. Nothing when the card surely has room, or when that cannot be told (the space or the
// unit cannot be read): the extraction then goes on and finds out.
std::optional<SpaceShortfall> FindSpaceShortfall(FileSystem& fileSystem, CheckedArchive& archive,
                                                 const std::string& cardRoot, PromptHandling prompts);

}  // namespace vocell::archive
