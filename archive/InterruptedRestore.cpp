#include "archive/InterruptedRestore.h"

#include "archive/CardPaths.h"

namespace vocell::archive {
namespace {

constexpr std::string_view kMarkerText =
    "A restore onto this card was started and has not finished.\r\n"
    "Restore the card again with the Vocell Card Utility before it is used in the system.\r\n";

std::string MarkerPath(const std::string& cardRoot) {
    return cardRoot + std::string(kInterruptedRestoreMarker);
}

void RemoveUnfinishedFilesBelow(FileSystem& fileSystem, const std::string& folder) {
    auto listing = fileSystem.ListFolder(folder);
    if (!listing.ok()) return;
    for (const FolderEntry& entry : listing.value()) {
        const std::string path = folder + entry.name;
        if ((entry.attributes & FileAttribute::Directory) != 0) {
            RemoveUnfinishedFilesBelow(fileSystem, path + "\\");
        } else if (entry.name.ends_with(kNewFileSuffix)) {
            // What cannot be removed now is left for the next restore: nothing reads it.
            static_cast<void>(fileSystem.RemoveFile(path));
        }
    }
}

}  // namespace

FsStatus MarkRestoreStarted(FileSystem& fileSystem, const std::string& cardRoot) {
    auto marker = fileSystem.OpenWrite(MarkerPath(cardRoot));
    if (!marker.ok()) return marker.status();
    FsStatus status = marker.value()->Write(std::as_bytes(std::span(kMarkerText.data(), kMarkerText.size())));
    FsStatus closed = marker.value()->Close();
    if (status.ok()) status = closed;
    if (status.ok()) status = fileSystem.FlushVolume(cardRoot);
    // What cannot be removed now stays, and says no more than that a restore began.
    if (!status.ok()) static_cast<void>(fileSystem.RemoveFile(MarkerPath(cardRoot)));
    return status;
}

FsStatus MarkRestoreFinished(FileSystem& fileSystem, const std::string& cardRoot) {
    FsStatus removed = fileSystem.RemoveFile(MarkerPath(cardRoot));
    if (!removed.ok() && removed.error != FsError::NotFound) return removed;
    return fileSystem.FlushVolume(cardRoot);
}

bool RestoreWasInterrupted(FileSystem& fileSystem, const std::string& cardRoot) {
    return cardRoot.size() >= kDriveRootLength && fileSystem.FileSize(MarkerPath(cardRoot)).ok();
}

void RemoveUnfinishedFiles(FileSystem& fileSystem, const std::string& cardRoot) {
    RemoveUnfinishedFilesBelow(fileSystem, cardRoot);
}

}  // namespace vocell::archive
