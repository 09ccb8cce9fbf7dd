#pragma once
// Deletes a folder with everything below it, never descending through a symbolic link or into
// another file system mounted inside it.

#include <string>

#include "platform/FileSystem.h"

namespace vocell::posix {

// Deletes the folder name in parentFd and its contents. Read-only files go too; a folder the
// owner may not write or read is given those permissions first.
FsStatus RemoveTree(int parentFd, const std::string& name);

}  // namespace vocell::posix
