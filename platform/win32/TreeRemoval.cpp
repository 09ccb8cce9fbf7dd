#include "platform/win32/TreeRemoval.h"

#include <windows.h>

#include <vector>

#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Errors.h"

namespace vocell::win32 {
namespace {

struct Child {
    std::string path;
    DWORD attributes = 0;
    DWORD reparseTag = 0;  // the kind of link, for a reparse point
};

bool IsLink(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
bool IsFolder(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

bool IsGone(DWORD code) { return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND; }

// The names are read first so that deleting never races the listing.
FsResult<std::vector<Child>> ReadChildren(const std::string& folder) {
    std::vector<Child> children;
    WIN32_FIND_DATAA found{};
    FindHandle listing(::FindFirstFileA((folder + "\\*").c_str(), &found));
    if (!listing.valid()) {
        if (::GetLastError() == ERROR_FILE_NOT_FOUND) return children;
        return LastErrorStatus();
    }
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") {
            children.push_back({folder + "\\" + name, found.dwFileAttributes, found.dwReserved0});
        }
    } while (::FindNextFileA(listing.get(), &found));
    if (::GetLastError() != ERROR_NO_MORE_FILES) return LastErrorStatus();
    return children;
}

FsStatus ClearReadOnly(const std::string& path, DWORD attributes) {
    if ((attributes & FILE_ATTRIBUTE_READONLY) == 0) return {};
    if (!::SetFileAttributesA(path.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY})) {
        return LastErrorStatus();
    }
    return {};
}

FsStatus RemoveEntry(const Child& child) {
    if (IsFolder(child.attributes) && !IsLink(child.attributes)) return RemoveTree(child.path);
    // Only a symbolic link goes; what a junction or mount point shows is not this tree's.
    if (IsLink(child.attributes) && child.reparseTag != IO_REPARSE_TAG_SYMLINK) {
        return FsStatus::Failure(FsError::AccessDenied, ERROR_ACCESS_DENIED);
    }
    if (FsStatus cleared = ClearReadOnly(child.path, child.attributes); !cleared.ok()) return cleared;
    // A folder link is removed as a folder, without touching what it points to.
    const BOOL removed = IsFolder(child.attributes) ? ::RemoveDirectoryA(child.path.c_str())
                                                    : ::DeleteFileA(child.path.c_str());
    if (!removed && !IsGone(::GetLastError())) return LastErrorStatus();
    return {};
}

}  // namespace

FsStatus RemoveTree(const std::string& folder) {
    const DWORD attributes = ::GetFileAttributesA(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return LastErrorStatus();
    if (IsLink(attributes)) return FsStatus::Failure(FsError::AccessDenied, ERROR_ACCESS_DENIED);
    if (!IsFolder(attributes)) return FsStatus::Failure(FsError::PathNotFound, ERROR_DIRECTORY);

    auto children = ReadChildren(folder);
    if (!children.ok()) return children.status();
    for (const Child& child : children.value()) {
        if (FsStatus removed = RemoveEntry(child); !removed.ok()) return removed;
    }
    if (FsStatus cleared = ClearReadOnly(folder, attributes); !cleared.ok()) return cleared;
    if (!::RemoveDirectoryA(folder.c_str())) return LastErrorStatus();
    return {};
}

}  // namespace vocell::win32
