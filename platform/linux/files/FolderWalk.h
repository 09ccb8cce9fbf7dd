#pragma once
// Opens folders below a mount directory one component at a time, refusing every symbolic
// link on the way so that no path leaves its mount.

#include <filesystem>
#include <span>
#include <string>

#include "platform/FileSystem.h"
#include "platform/linux/files/UniqueFd.h"

namespace vocell::posix {

// The failure of opening the folder name in parentFd, error being the errno of the open:
// a symbolic link in its place is refused as such rather than reported as no folder.
FsStatus FolderOpenFailure(int parentFd, const std::string& name, int error);

// Opens a mount directory with extra open flags (O_PATH to walk, O_RDONLY to use it).
// A missing directory means the drive holds no card.
FsResult<UniqueFd> OpenMountDirectory(const std::filesystem::path& directory, int flags);

// Opens the folder name inside parentFd the same way, one step of a walk; with oneFileSystem a
// step into another mount fails with AccessDenied (EXDEV).
FsResult<UniqueFd> WalkIntoFolder(int parentFd, const std::string& name, bool oneFileSystem);

// Opens, for use as the folder argument of the *at functions, the folder that components
// name below the mount directory. A missing step fails with PathNotFound, a symbolic link
// with AccessDenied, and with oneFileSystem a step into another mount with AccessDenied.
FsResult<UniqueFd> WalkToFolder(const std::filesystem::path& mount, std::span<const std::string> components,
                                bool oneFileSystem);

}  // namespace vocell::posix
