#pragma once
// Reads the prompt version an archive carries, from its header block, before the card is asked
// to take it.

#include <string>

#include "archive/ArchiveState.h"
#include "platform/FileSystem.h"

namespace vocell::archive {

// Opens the archive, reads its header and closes it. A file that cannot be opened or read gives
// an empty version, the same as an archive of a card without prompts.
void ReadArchiveVersion(FileSystem& fileSystem, ArchiveState& state, const std::string& archivePath);

// Reads the header block from the current position of an open archive: sets archiveVersion and
// clears extractionFailed.
void ReadArchiveHeader(ArchiveState& state, FileReader& archive);

}  // namespace vocell::archive
