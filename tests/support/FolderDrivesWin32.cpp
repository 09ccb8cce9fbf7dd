// The Windows side: the card's paths are mapped by the drive map the Linux program uses onto the
// drives' folders and handed to the Win32 file system, which works there as it works on a card.

#include <windows.h>

#include "platform/DriveMap.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Paths.h"
#include "tests/support/FolderDrives.h"
#include "tests/support/ForwardingFileSystem.h"

namespace vocell::test {
namespace {

// The Win32 file system, built before the forwarding base that is handed it.
struct Win32Inner {
    win32::Win32FileSystem system;
};

class FolderDrivesFileSystem final : private Win32Inner, public ForwardingFileSystem {
public:
    explicit FolderDrivesFileSystem(const std::vector<std::pair<std::string, std::filesystem::path>>& mounts)
        : ForwardingFileSystem(system) {
        for (const auto& [prefix, folder] : mounts) drives_.AddMount(prefix, folder);
    }

    // A drive as a whole is never deleted or moved.
    FsStatus DeleteTree(const std::string& path) override {
        return BelowRoot(path) ? ForwardingFileSystem::DeleteTree(path) : Refused(path);
    }
    FsStatus Rename(const std::string& from, const std::string& to) override {
        if (!BelowRoot(from)) return Refused(from);
        return BelowRoot(to) ? ForwardingFileSystem::Rename(from, to) : Refused(to);
    }
    FsStatus RemoveFile(const std::string& path) override {
        return BelowRoot(path) ? ForwardingFileSystem::RemoveFile(path) : Refused(path);
    }

protected:
    // The folder path of a card path: the mount's folder with the path's own components after
    // it, once the Win32 rules have passed the path; NotReady when the folder is gone.
    FsResult<std::string> Route(const std::string& path) override {
        auto native = win32::ToNativePath(path);
        if (!native.ok()) return native.status();
        auto resolved = drives_.Resolve(native.value().text);
        if (!resolved.ok()) return FsStatus::Failure(FsError::PathNotFound, ERROR_PATH_NOT_FOUND);
        std::string folder = resolved.value().directory.string();
        if (::GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES) {
            return FsStatus::Failure(FsError::NotReady, ERROR_NOT_READY);
        }
        for (const std::string& component : resolved.value().components) folder += "\\" + component;
        return folder;
    }

private:
    bool BelowRoot(const std::string& path) const {
        auto resolved = drives_.Resolve(path);
        return !resolved.ok() || !resolved.value().components.empty();
    }
    FsStatus Refused(const std::string& path) {
        auto routed = Route(path);
        return routed.ok() ? FsStatus::Failure(FsError::AccessDenied, ERROR_ACCESS_DENIED) : routed.status();
    }

    DriveMap drives_;
};

}  // namespace

std::unique_ptr<FileSystem> FolderDrives::OpenFileSystem() const {
    return std::make_unique<FolderDrivesFileSystem>(mounts_);
}

}  // namespace vocell::test
