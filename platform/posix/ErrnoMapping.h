#pragma once
// Turns errno values into the portable FsError, keeping errno as the native code.

#include "platform/FileSystem.h"

namespace vocell::posix {

// The failure of an operation on the entry itself.
FsStatus statusFromErrno(int error);

// The failure of opening a folder on the way to the entry: a missing or non-folder step means
// the path does not exist.
FsStatus walkStatusFromErrno(int error);

// statusFromErrno(errno).
FsStatus lastErrorStatus();

}  // namespace vocell::posix
