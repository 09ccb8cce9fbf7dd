#pragma once

#include <string>

#include "platform/FileSystem.h"

namespace vocell::win32 {

// Deletes a folder with everything below it, read-only entries included. A symbolic link inside
// is removed itself, without entering what it points to; a junction or mounted volume inside is
// neither entered nor removed, and the deletion fails there.
FsStatus RemoveTree(const std::string& folder);

}  // namespace vocell::win32
