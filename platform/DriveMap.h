#pragma once
// Maps the card's Windows-style paths onto host directories: each drive ("E:") or Windows
// folder prefix ("C:\Harlo\Vocell") is mounted on a directory, and a path resolves to that
// directory plus the components below the prefix. Resolution is purely textual; it never
// yields a ".." component, so the result cannot climb out of its mount directory. The Linux file
// system resolves every path through it; a failure's native code is an errno value.

#include <filesystem>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace vocell {

// Whether the paths of a drive stay on the file system of its directory (a card), or may lead
// into the file systems mounted below it (the host's own drive).
enum class MountReach { OneFileSystem, AnyFileSystem };

struct ResolvedPath {
    std::filesystem::path directory;      // the host directory the drive or prefix is mounted on
    std::vector<std::string> components;  // below it, in order; empty for the mount itself
    MountReach reach = MountReach::OneFileSystem;
};

class DriveMap {
public:
    // Mounts prefix (a drive "E:" or a folder such as "C:\Harlo\Vocell") on directory,
    // replacing an earlier mount of the same prefix. Throws std::invalid_argument when prefix
    // is not an absolute drive path.
    void AddMount(const std::string& prefix, std::filesystem::path directory,
                  MountReach reach = MountReach::OneFileSystem);

    // The mount that holds windowsPath (the longest matching prefix, compared without regard
    // to case) and the path's components below it. Fails with PathNotFound for a malformed
    // path or one on no mount, AccessDenied for a path with a ".." component.
    [[nodiscard]] FsResult<ResolvedPath> Resolve(const std::string& windowsPath) const;

private:
    struct Mount {
        std::vector<std::string> prefix;  // lower case
        std::filesystem::path directory;
        MountReach reach;
    };
    std::vector<Mount> mounts_;
};

}  // namespace vocell
