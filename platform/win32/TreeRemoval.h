#pragma once

#include <string>

#include "platform/FileSystem.h"

namespace vocell::win32 {

// Deletes a folder with everything below it, read-only entries included. A link or junction
// inside is removed itself; what it points to is never entered.
FsStatus RemoveTree(const std::string& folder);

}  // namespace vocell::win32
