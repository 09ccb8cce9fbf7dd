#pragma once
// A restore that is killed or stopped part-way leaves the card neither as it was nor as the
// archive holds it. A marker at the card root says so until a restore runs to its end, and the
// files an interrupted run was writing under temporary names are cleared by the next one.

#include <string>

#include "platform/FileSystem.h"

namespace vocell::archive {

// Puts the marker on the card and onto the medium, before the card's first change. A marker that
// cannot be written whole is taken away again, so that a card too full for it keeps no mark.
FsStatus MarkRestoreStarted(FileSystem& fileSystem, const std::string& cardRoot);
// Takes the marker away, and the removal onto the medium with everything written before it,
// once a restore has run to its end (or changed nothing).
FsStatus MarkRestoreFinished(FileSystem& fileSystem, const std::string& cardRoot);
bool RestoreWasInterrupted(FileSystem& fileSystem, const std::string& cardRoot);
// Deletes the files an interrupted restore left under their temporary names anywhere on the card.
void RemoveUnfinishedFiles(FileSystem& fileSystem, const std::string& cardRoot);

}  // namespace vocell::archive
