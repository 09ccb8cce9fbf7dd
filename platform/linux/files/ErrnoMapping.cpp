#include "platform/linux/files/ErrnoMapping.h"

#include <cerrno>
#include <cstring>

namespace vocell::posix {

FsStatus StatusFromErrno(int error) {
    switch (error) {
        case 0: return {};
        case ENOENT: return FsStatus::Failure(FsError::NotFound, error);
        case ENOTDIR:
        case ENAMETOOLONG:  // as Windows reports a path longer than it takes
        case EINVAL:        // a name the file system cannot hold, such as one FAT refuses
            return FsStatus::Failure(FsError::PathNotFound, error);
        case EACCES:
        case EPERM:
        case EROFS:
        case ELOOP:   // a symbolic link, which is never followed
        case EISDIR:  // a folder opened as a file, which Windows denies too
        case EBUSY:
        case ETXTBSY:
        case EXDEV:  // another mount inside the card, which is never entered
            return FsStatus::Failure(FsError::AccessDenied, error);
        case ENOSPC:
        case EDQUOT: return FsStatus::Failure(FsError::DiskFull, error);
        case EEXIST: return FsStatus::Failure(FsError::AlreadyExists, error);
        case EBADF: return FsStatus::Failure(FsError::InvalidHandle, error);
        case ENOMEDIUM: return FsStatus::Failure(FsError::NotReady, error);
        default: return FsStatus::Failure(FsError::Other, error);
    }
}

FsStatus WalkStatusFromErrno(int error) {
    if (error == ENOENT) {
        return FsStatus::Failure(FsError::PathNotFound, error);
    }
    return StatusFromErrno(error);
}

FsStatus LastErrorStatus() { return StatusFromErrno(errno); }

std::string DescribeErrno(const FsStatus& status) {
    if (status.nativeCode == 0) return FsErrorName(status.error);
    if (status.nativeCode == EXDEV) return "it lies on another mount inside the card, which is never entered";
    return std::strerror(status.nativeCode);
}

}  // namespace vocell::posix
