#include "platform/linux/files/NewFileMode.h"

#include <linux/magic.h>
#include <sys/vfs.h>
#include <sys/xattr.h>

#include <cerrno>
#include <fstream>
#include <string>

namespace vocell::posix {
namespace {

// File systems that give a new file exactly the mode asked for, less the umask, when no
// default ACL says otherwise. Others (FAT, exFAT, NTFS, network and FUSE file systems) derive
// modes from mount options or the server, or keep none.
bool KeepsModesAsAsked(int fd) {
    struct statfs info {};
    if (::fstatfs(fd, &info) != 0) {
        return false;
    }
    switch (static_cast<unsigned long>(info.f_type)) {
        case EXT4_SUPER_MAGIC:  // also ext2 and ext3
        case XFS_SUPER_MAGIC:
        case BTRFS_SUPER_MAGIC:
        case TMPFS_MAGIC:
        case F2FS_SUPER_MAGIC: return true;
        default: return false;
    }
}

// Whether the folder certainly has no default ACL. An O_PATH descriptor takes no xattr calls,
// so the folder is named through /proc.
bool HasNoDefaultAcl(int fd) {
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (::getxattr(path.c_str(), "system.posix_acl_default", nullptr, 0) >= 0) {
        return false;
    }
    return errno == ENODATA || errno == EOPNOTSUPP;
}

}  // namespace

std::optional<mode_t> ProcessUmask() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("Umask:")) {
            try {
                return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8) & 0777);
            } catch (const std::exception&) {
                return std::nullopt;
            }
        }
    }
    return std::nullopt;
}

std::optional<mode_t> NewFileMode(int folderFd, std::optional<mode_t> umask) {
    if (!umask || !KeepsModesAsAsked(folderFd) || !HasNoDefaultAcl(folderFd)) {
        return std::nullopt;
    }
    return static_cast<mode_t>(kCreatedFileMode & ~*umask);
}

}  // namespace vocell::posix
