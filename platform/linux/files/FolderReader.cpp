#include "platform/linux/files/FolderReader.h"

#include <cerrno>
#include <string_view>

#include "platform/linux/files/ErrnoMapping.h"

namespace vocell::posix {

FsResult<FolderReader> FolderReader::Open(UniqueFd folder) {
    DIR* dir = ::fdopendir(folder.get());
    if (dir == nullptr) {
        return LastErrorStatus();
    }
    folder.Release();  // the DIR owns it now
    return FolderReader(dir);
}

int FolderReader::fd() const { return ::dirfd(dir_.get()); }

bool FolderReader::Next(FolderItem& item) {
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir_.get());
        if (entry == nullptr) {
            status_ = StatusFromErrno(errno);
            return false;
        }
        const std::string_view name(entry->d_name);
        if (name == "." || name == "..") {
            continue;
        }
        item.name = name;
        item.type = entry->d_type;
        return true;
    }
}

}  // namespace vocell::posix
