#pragma once
// The identity of the medium that holds a folder: what changes when another medium is mounted in
// its place or another folder takes its name.

#include <filesystem>
#include <optional>
#include <string>

#include "platform/Volumes.h"

namespace vocell::posix {

// The file system's serial (FAT's volume id, or the file system id the kernel reports, which most
// file systems derive from their UUID), its capacity, and as the device the folder's own device,
// inode and mount: a card swapped in the reader, a remount or a folder renamed into the place all
// change one of them. Nothing when the folder cannot be opened.
std::optional<MediumIdentity> FolderMediumIdentity(const std::filesystem::path& folder, std::string label);

}  // namespace vocell::posix
