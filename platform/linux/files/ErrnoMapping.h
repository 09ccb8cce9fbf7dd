#pragma once
// Turns errno values into the portable FsError, keeping errno as the native code.

#include <string>

#include "platform/FileSystem.h"

namespace vocell::posix {

// The failure of an operation on the entry itself.
FsStatus StatusFromErrno(int error);

// The failure of opening a folder on the way to the entry: a missing or non-folder step means
// the path does not exist.
FsStatus WalkStatusFromErrno(int error);

// statusFromErrno(errno).
FsStatus LastErrorStatus();

// The system's own words for a failure ("No space left on device").
std::string DescribeErrno(const FsStatus& status);

}  // namespace vocell::posix
