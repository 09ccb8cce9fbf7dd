#include "platform/DriveMap.h"
#include "platform/linux/files/PosixFileSystem.h"
#include "tests/support/FolderDrives.h"

namespace vocell::test {

std::unique_ptr<FileSystem> FolderDrives::OpenFileSystem() const {
    DriveMap drives;
    for (const auto& [prefix, folder] : mounts_) drives.AddMount(prefix, folder);
    // Media come and go faster in tests than on a desk: every call looks at the mount again.
    return std::make_unique<posix::PosixFileSystem>(std::move(drives), std::chrono::milliseconds(0));
}

}  // namespace vocell::test
