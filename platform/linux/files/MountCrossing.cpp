#include "platform/linux/files/MountCrossing.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <optional>

#include "platform/linux/files/UniqueFd.h"

namespace vocell::posix {
namespace {

// Kernels before 5.6, and sandboxes that filter the call, have no openat2.
std::atomic<bool> openat2Missing{false};

std::optional<std::uint64_t> MountIdOf(int fd, const char* name, int flags) {
    struct statx info {};
    if (::statx(fd, name, flags, STATX_MNT_ID, &info) != 0 || (info.stx_mask & STATX_MNT_ID) == 0) {
        return std::nullopt;
    }
    return info.stx_mnt_id;
}

// The same check without openat2: the opened entry's mount is compared with its folder's.
int OpenAndCompareMounts(int dirFd, const char* name, int flags, mode_t mode) {
    UniqueFd fd(::openat(dirFd, name, flags, mode));
    if (!fd.valid()) return -1;
    const auto folderMount = MountIdOf(dirFd, "", AT_EMPTY_PATH);
    const auto entryMount = MountIdOf(fd.get(), "", AT_EMPTY_PATH);
    if (folderMount && entryMount && *folderMount != *entryMount) {
        errno = EXDEV;
        return -1;
    }
    return fd.Release();
}

}  // namespace

int OpenInFolder(int dirFd, const char* name, int flags, mode_t mode, bool oneFileSystem) {
    if (!oneFileSystem) return ::openat(dirFd, name, flags, mode);
    if (!openat2Missing.load(std::memory_order_relaxed)) {
        open_how how{};
        how.flags = static_cast<unsigned>(flags);
        how.mode = (flags & (O_CREAT | O_TMPFILE)) != 0 ? static_cast<unsigned>(mode) : 0u;
        how.resolve = RESOLVE_NO_XDEV;
        const long fd = ::syscall(SYS_openat2, dirFd, name, &how, sizeof how);
        if (fd >= 0 || (errno != ENOSYS && errno != EPERM)) return static_cast<int>(fd);
        if (errno == ENOSYS) openat2Missing.store(true, std::memory_order_relaxed);
    }
    return OpenAndCompareMounts(dirFd, name, flags, mode);
}

FsStatus RefuseMountPoint(int dirFd, const char* name) {
    struct statx entry {};
    if (::statx(dirFd, name, AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS, &entry) != 0) return {};
    bool mountRoot = (entry.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
    // Kernels before 5.8 do not say; there only another device shows.
    struct statx folder {};
    if ((entry.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) == 0 &&
        ::statx(dirFd, "", AT_EMPTY_PATH, STATX_BASIC_STATS, &folder) == 0) {
        mountRoot =
            entry.stx_dev_major != folder.stx_dev_major || entry.stx_dev_minor != folder.stx_dev_minor;
    }
    if (mountRoot) return FsStatus::Failure(FsError::AccessDenied, EXDEV);
    return {};
}

}  // namespace vocell::posix
