#include "platform/linux/files/FolderWalk.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/linux/files/ErrnoMapping.h"
#include "platform/linux/files/MountCrossing.h"

namespace vocell::posix {
namespace {

constexpr int kWalkFlags = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

}  // namespace

// O_NOFOLLOW with O_DIRECTORY reports a symbolic link as ENOTDIR; tell the two apart.
FsStatus FolderOpenFailure(int parentFd, const std::string& name, int error) {
    struct stat info {};
    if (error == ENOTDIR && ::fstatat(parentFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISLNK(info.st_mode)) {
        return FsStatus::Failure(FsError::AccessDenied, ELOOP);
    }
    return StatusFromErrno(error);
}

FsResult<UniqueFd> OpenMountDirectory(const std::filesystem::path& directory, int flags) {
    UniqueFd fd(::open(directory.c_str(), flags | O_DIRECTORY | O_CLOEXEC));
    if (!fd.valid()) {
        const int error = errno;
        if (error == ENOENT) {
            return FsStatus::Failure(FsError::NotReady, error);
        }
        return WalkStatusFromErrno(error);
    }
    return fd;
}

FsResult<UniqueFd> WalkIntoFolder(int parentFd, const std::string& name, bool oneFileSystem) {
    UniqueFd next(OpenInFolder(parentFd, name.c_str(), kWalkFlags, 0, oneFileSystem));
    if (!next.valid()) {
        const int error = errno;
        return error == ENOENT ? WalkStatusFromErrno(error) : FolderOpenFailure(parentFd, name, error);
    }
    return next;
}

FsResult<UniqueFd> WalkToFolder(const std::filesystem::path& mount, std::span<const std::string> components,
                                bool oneFileSystem) {
    auto opened = OpenMountDirectory(mount, O_PATH);
    if (!opened.ok()) {
        return opened.status();
    }
    UniqueFd current = std::move(opened.value());
    for (const std::string& name : components) {
        auto next = WalkIntoFolder(current.get(), name, oneFileSystem);
        if (!next.ok()) {
            return next.status();
        }
        current = std::move(next.value());
    }
    return current;
}

}  // namespace vocell::posix
