#include "platform/posix/DriveMap.h"
#include "platform/posix/PosixFileSystem.h"
#include "tests/support/FolderDrives.h"

namespace vocell::test {

std::unique_ptr<FileSystem> FolderDrives::OpenFileSystem() const {
    posix::DriveMap drives;
    for (const auto& [prefix, folder] : mounts_) drives.AddMount(prefix, folder);
    return std::make_unique<posix::PosixFileSystem>(std::move(drives));
}

}  // namespace vocell::test
