#pragma once
// What file system a device holds, read from the device itself with libblkid's low-level probe:
// never from libblkid's cache, which can still hold the card that was in the reader before.

#include <optional>
#include <string>

namespace vocell::linux_drives {

struct ProbedFileSystem {
    std::string type;   // "vfat"; empty when the device holds no file system the probe knows
    std::string uuid;   // "1A2B-3C4D" on FAT
    std::string label;  // as stored, spaces and all
};

// Probes the open device; nothing when the probe cannot read it.
std::optional<ProbedFileSystem> ProbeFileSystem(int fd);
// Opens the device node read-only for the probe; nothing when it cannot be opened or read.
std::optional<ProbedFileSystem> ProbeFileSystemAt(const std::string& devNode);

}  // namespace vocell::linux_drives
