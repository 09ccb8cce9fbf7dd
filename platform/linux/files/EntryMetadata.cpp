#include "platform/linux/files/EntryMetadata.h"

#include <fcntl.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/vfs.h>

#include <cerrno>

#include "platform/linux/files/ErrnoMapping.h"
#include "platform/linux/files/FileTimeConversion.h"
#include "platform/linux/files/UniqueFd.h"

namespace vocell::posix {
namespace {

constexpr mode_t kAllWrite = S_IWUSR | S_IWGRP | S_IWOTH;
constexpr std::uint32_t kFatAttributeBits = 0x3f;  // FAT keeps no "normal" bit

FsResult<UniqueFd> OpenEntryForIoctl(int dirFd, const char* name) {
    UniqueFd fd(::openat(dirFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) {
        return LastErrorStatus();
    }
    return fd;
}

FsResult<std::uint32_t> FatAttributesOf(int fd) {
    std::uint32_t attributes = 0;
    if (::ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &attributes) != 0) {
        return LastErrorStatus();
    }
    // A file without any attribute bit is a normal file, as Windows reports it.
    return attributes == 0 ? FileAttribute::Normal : attributes;
}

FsStatus SetFatAttributesOf(int fd, std::uint32_t attributes) {
    std::uint32_t current = 0;
    if (::ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &current) != 0) {
        return LastErrorStatus();
    }
    // Whether an entry is a folder is not an attribute one can change.
    std::uint32_t wanted =
        (attributes & kFatAttributeBits & ~FileAttribute::Directory) | (current & FileAttribute::Directory);
    if (wanted != current && ::ioctl(fd, FAT_IOCTL_SET_ATTRIBUTES, &wanted) != 0) {
        return LastErrorStatus();
    }
    return {};
}

FsResult<std::uint32_t> FatAttributes(int dirFd, const char* name) {
    auto fd = OpenEntryForIoctl(dirFd, name);
    if (!fd.ok()) {
        return fd.status();
    }
    return FatAttributesOf(fd.value().get());
}

FsStatus SetFatAttributes(int dirFd, const char* name, std::uint32_t attributes) {
    auto fd = OpenEntryForIoctl(dirFd, name);
    if (!fd.ok()) {
        return fd.status();
    }
    return SetFatAttributesOf(fd.value().get(), attributes);
}

// The mode a file's read-only bit asks for: no write bits, or at least the owner's.
mode_t ModeForAttributes(mode_t mode, std::uint32_t attributes) {
    mode &= 07777;
    return (attributes & FileAttribute::ReadOnly) != 0 ? (mode & ~kAllWrite) : (mode | S_IWUSR);
}

FsStatus SetReadOnlyFromAttributes(int dirFd, const char* name, std::uint32_t attributes) {
    struct stat info {};
    if (::fstatat(dirFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return LastErrorStatus();
    }
    if (S_ISLNK(info.st_mode)) {
        return FsStatus::Failure(FsError::AccessDenied, ELOOP);
    }
    if (S_ISDIR(info.st_mode)) {
        return {};  // read-only means nothing for a folder, and a locked folder would refuse files
    }
    const mode_t wanted = ModeForAttributes(info.st_mode, attributes);
    if (wanted == (info.st_mode & 07777)) {
        return {};
    }
    if (::fchmodat(dirFd, name, wanted, AT_SYMLINK_NOFOLLOW) != 0) {
        // glibc answers EOPNOTSUPP when the entry turned into a symbolic link meanwhile.
        const int error = errno;
        return StatusFromErrno(error == EOPNOTSUPP ? ELOOP : error);
    }
    return {};
}

FileTimes TimesFromStatx(const struct statx& info) {
    FileTimes times;
    if ((info.stx_mask & STATX_BTIME) != 0) {
        times.creation = FileTimeFromUnix(info.stx_btime.tv_sec, info.stx_btime.tv_nsec);
    }
    times.lastAccess = FileTimeFromUnix(info.stx_atime.tv_sec, info.stx_atime.tv_nsec);
    times.lastWrite = FileTimeFromUnix(info.stx_mtime.tv_sec, info.stx_mtime.tv_nsec);
    return times;
}

FsResult<FileTimes> StatxTimes(int dirFd, const char* name, int flags) {
    struct statx info {};
    if (::statx(dirFd, name, flags | AT_STATX_SYNC_AS_STAT, STATX_ATIME | STATX_MTIME | STATX_BTIME, &info) !=
        0) {
        return LastErrorStatus();
    }
    return TimesFromStatx(info);
}

timespec SettableTime(std::uint64_t fileTime) {
    if (fileTime == 0) {
        timespec omit{};
        omit.tv_nsec = UTIME_OMIT;
        return omit;
    }
    return TimespecFromFileTime(fileTime);
}

}  // namespace

bool IsFatFileSystem(int fd) {
    struct statfs info {};
    return ::fstatfs(fd, &info) == 0 && info.f_type == MSDOS_SUPER_MAGIC;
}

std::uint32_t AttributesFromMode(mode_t mode) {
    std::uint32_t attributes = 0;
    if (S_ISDIR(mode)) {
        attributes = FileAttribute::Directory;
    } else if (S_ISREG(mode)) {
        attributes = FileAttribute::Archive;
    } else {
        return 0;
    }
    if ((mode & S_IWUSR) == 0) {
        attributes |= FileAttribute::ReadOnly;
    }
    return attributes;
}

FsResult<std::uint32_t> EntryAttributes(int dirFd, const char* name, bool fat) {
    if (fat) {
        return FatAttributes(dirFd, name);  // FAT holds only files and folders
    }
    struct stat info {};
    if (::fstatat(dirFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return LastErrorStatus();
    }
    return AttributesFromMode(info.st_mode);
}

FsStatus SetEntryAttributes(int dirFd, const char* name, bool fat, std::uint32_t attributes) {
    return fat ? SetFatAttributes(dirFd, name, attributes)
               : SetReadOnlyFromAttributes(dirFd, name, attributes);
}

FsResult<std::uint32_t> OpenEntryAttributes(int fd, mode_t mode, bool fat) {
    return fat ? FatAttributesOf(fd) : AttributesFromMode(mode);
}

FsStatus SetOpenEntryAttributes(int fd, bool fat, std::uint32_t attributes, std::optional<mode_t> knownMode) {
    if (fat) {
        return SetFatAttributesOf(fd, attributes);
    }
    // A read-only word keeps the other bits exactly as they are, so it asks the file for them.
    if (knownMode && (attributes & FileAttribute::ReadOnly) == 0) {
        const mode_t wanted = ModeForAttributes(*knownMode, attributes);
        if (wanted != (*knownMode & 07777) && ::fchmod(fd, wanted) != 0) {
            return LastErrorStatus();
        }
        return {};
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return LastErrorStatus();
    }
    if (S_ISDIR(info.st_mode)) {
        return {};  // as for a folder named by its path
    }
    const mode_t wanted = ModeForAttributes(info.st_mode, attributes);
    if (wanted != (info.st_mode & 07777) && ::fchmod(fd, wanted) != 0) {
        return LastErrorStatus();
    }
    return {};
}

FsResult<FileTimes> EntryTimes(int dirFd, const char* name) {
    return StatxTimes(dirFd, name, AT_SYMLINK_NOFOLLOW);
}

FsResult<OpenFileInfo> ReadOpenFileInfo(int fd) {
    struct statx info {};
    constexpr unsigned kWanted =
        STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_ATIME | STATX_MTIME | STATX_BTIME;
    if (::statx(fd, "", AT_EMPTY_PATH, kWanted, &info) != 0) {
        return LastErrorStatus();
    }
    return OpenFileInfo{info.stx_size, TimesFromStatx(info), static_cast<mode_t>(info.stx_mode)};
}

std::array<timespec, 2> AccessAndWriteTimes(const FileTimes& times) {
    return {SettableTime(times.lastAccess), SettableTime(times.lastWrite)};
}

}  // namespace vocell::posix
