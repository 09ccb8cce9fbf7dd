#include "platform/linux/files/TreeRemoval.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>
#include <vector>

#include "platform/linux/files/ErrnoMapping.h"
#include "platform/linux/files/FolderReader.h"
#include "platform/linux/files/FolderWalk.h"
#include "platform/linux/files/MountCrossing.h"
#include "platform/linux/files/UniqueFd.h"

namespace vocell::posix {
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

FsResult<UniqueFd> OpenFolderForRemoval(int parentFd, const std::string& name) {
    UniqueFd folder(OpenInFolder(parentFd, name.c_str(), kFolderFlags, 0, true));
    if (!folder.valid() && errno == EACCES) {
        struct stat info {};
        if (::fstatat(parentFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode) &&
            ::fchmodat(parentFd, name.c_str(), (info.st_mode & 07777) | S_IRWXU, AT_SYMLINK_NOFOLLOW) == 0) {
            folder.Reset(OpenInFolder(parentFd, name.c_str(), kFolderFlags, 0, true));
        } else {
            errno = EACCES;
        }
    }
    if (!folder.valid()) {
        return FolderOpenFailure(parentFd, name, errno);
    }
    return folder;
}

// Unlinking an entry takes write permission on its folder, not on the entry.
FsStatus MakeWritable(int folderFd) {
    struct stat info {};
    if (::fstat(folderFd, &info) != 0) {
        return LastErrorStatus();
    }
    constexpr mode_t needed = S_IWUSR | S_IXUSR;
    if ((info.st_mode & needed) != needed && ::fchmod(folderFd, (info.st_mode & 07777) | needed) != 0) {
        return LastErrorStatus();
    }
    return {};
}

struct Child {
    std::string name;
    bool folder = false;
};

FsResult<std::vector<Child>> ReadChildren(UniqueFd folder) {
    auto reader = FolderReader::Open(std::move(folder));
    if (!reader.ok()) {
        return reader.status();
    }
    std::vector<Child> children;
    FolderItem item;
    while (reader.value().Next(item)) {
        bool isFolder = item.type == DT_DIR;
        if (item.type == DT_UNKNOWN) {
            struct stat info {};
            const std::string name(item.name);
            isFolder = ::fstatat(reader.value().fd(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                       S_ISDIR(info.st_mode);
        }
        children.push_back({std::string(item.name), isFolder});
    }
    if (!reader.value().status().ok()) {
        return reader.value().status();
    }
    return children;
}

FsStatus RemoveTreeOnDevice(int parentFd, const std::string& name, dev_t device);

FsStatus RemoveContents(int folderFd, dev_t device) {
    if (auto status = MakeWritable(folderFd); !status.ok()) {
        return status;
    }
    // The names are read first so that deleting never races the folder being read.
    UniqueFd forReading(::fcntl(folderFd, F_DUPFD_CLOEXEC, 0));
    if (!forReading.valid()) {
        return LastErrorStatus();
    }
    auto children = ReadChildren(std::move(forReading));
    if (!children.ok()) {
        return children.status();
    }
    for (const Child& child : children.value()) {
        FsStatus status;
        if (child.folder) {
            status = RemoveTreeOnDevice(folderFd, child.name, device);
        } else if (::unlinkat(folderFd, child.name.c_str(), 0) != 0 && errno != ENOENT) {
            status = LastErrorStatus();
        }
        if (!status.ok()) {
            return status;
        }
    }
    return {};
}

// Another file system mounted inside the tree is never entered, nor a second mount of part of
// this one (a bind mount): their content is not the card's.
FsStatus RemoveTreeOnDevice(int parentFd, const std::string& name, dev_t device) {
    auto folder = OpenFolderForRemoval(parentFd, name);
    if (!folder.ok()) {
        return folder.status();
    }
    struct stat info {};
    if (::fstat(folder.value().get(), &info) != 0) {
        return LastErrorStatus();
    }
    if (info.st_dev != device) {
        return FsStatus::Failure(FsError::AccessDenied, EXDEV);
    }
    if (auto status = RemoveContents(folder.value().get(), device); !status.ok()) {
        return status;
    }
    folder.value().Reset();
    if (::unlinkat(parentFd, name.c_str(), AT_REMOVEDIR) != 0) {
        return LastErrorStatus();
    }
    return {};
}

}  // namespace

FsStatus RemoveTree(int parentFd, const std::string& name) {
    struct stat parent {};
    if (::fstat(parentFd, &parent) != 0) {
        return LastErrorStatus();
    }
    return RemoveTreeOnDevice(parentFd, name, parent.st_dev);
}

}  // namespace vocell::posix
