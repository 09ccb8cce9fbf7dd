#pragma once
// The cluster geometry a mounted file system reports, as the card census reads it.

#include <sys/statvfs.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "platform/Volumes.h"

namespace vocell::posix {

// One "cluster" is one fragment of the file system; nothing if the folder cannot be asked.
inline std::optional<ClusterGeometry> MountClusterGeometry(const std::string& folder) {
    struct statvfs info {};
    if (::statvfs(folder.c_str(), &info) != 0) return std::nullopt;
    ClusterGeometry geometry;
    geometry.sectorsPerCluster = 1;
    geometry.bytesPerSector = static_cast<std::uint32_t>(info.f_frsize);
    geometry.totalClusters = static_cast<std::uint32_t>(
        std::min<std::uint64_t>(info.f_blocks, std::numeric_limits<std::uint32_t>::max()));
    return geometry;
}

}  // namespace vocell::posix
