#include <unistd.h>

#include <cstdlib>

#include "platform/posix/DriveMap.h"
#include "platform/posix/PosixFileSystem.h"
#include "tests/support/FolderDrives.h"

namespace vocell::test {

std::unique_ptr<FileSystem> FolderDrives::OpenFileSystem() const {
    posix::DriveMap drives;
    for (const auto& [prefix, folder] : mounts_) drives.AddMount(prefix, folder);
    return std::make_unique<posix::PosixFileSystem>(std::move(drives));
}

bool FolderDrives::MountSmallCard(const std::filesystem::path& folder) {
    return ::geteuid() == 0 &&
           std::system(("mount -t tmpfs -o size=1m tmpfs " + folder.string() + " 2>/dev/null").c_str()) == 0;
}

void FolderDrives::UnmountSmallCard(const std::filesystem::path& folder) {
    [[maybe_unused]] const int ignored = std::system(("umount " + folder.string()).c_str());
}

}  // namespace vocell::test
