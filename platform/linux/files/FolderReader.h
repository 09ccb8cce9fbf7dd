#pragma once
// Reads the entries of an open folder, "." and ".." left out, in the file system's order.

#include <dirent.h>

#include <memory>
#include <string_view>

#include "platform/FileSystem.h"
#include "platform/linux/files/UniqueFd.h"

namespace vocell::posix {

struct FolderItem {
    std::string_view name;  // valid until the next call of next()
    unsigned char type = DT_UNKNOWN;
};

class FolderReader {
public:
    // Takes over folder, an fd opened for reading on a directory.
    static FsResult<FolderReader> Open(UniqueFd folder);

    // The fd of the folder, for the *at functions on its entries.
    [[nodiscard]] int fd() const;

    // Fills item with the next entry; false at the end or on a failure, which status() tells.
    bool Next(FolderItem& item);
    [[nodiscard]] FsStatus status() const { return status_; }

private:
    struct Closer {
        void operator()(DIR* dir) const { ::closedir(dir); }
    };
    explicit FolderReader(DIR* dir) : dir_(dir) {}

    std::unique_ptr<DIR, Closer> dir_;
    FsStatus status_;
};

}  // namespace vocell::posix
