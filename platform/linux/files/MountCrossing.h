#pragma once
// Keeps work on a card inside the card's own file system: a folder or file of another mount
// (a bind mount of an outside folder, another file system mounted inside the card) is never
// opened, written, changed or deleted through the card's paths.

#include <sys/types.h>

#include "platform/FileSystem.h"

namespace vocell::posix {

// openat(dirFd, name, flags, mode), except that with oneFileSystem an entry that is a mount point,
// or lies beyond one, is refused with EXDEV. -1 with errno set on failure.
int OpenInFolder(int dirFd, const char* name, int flags, mode_t mode, bool oneFileSystem);

// AccessDenied (EXDEV) when name in dirFd is the root of a mount; success when it is not or
// does not exist (the call that follows then says so).
FsStatus RefuseMountPoint(int dirFd, const char* name);

}  // namespace vocell::posix
