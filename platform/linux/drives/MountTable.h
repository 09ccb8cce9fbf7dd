#pragma once
// The mount table as the process sees it (/proc/self/mountinfo), read with libmount.

#include <sys/types.h>

#include <string>
#include <vector>

namespace vocell::linux_drives {

struct MountEntry {
    dev_t device = 0;    // major:minor of the mounted file system as the table gives it
    std::string source;  // "/dev/sdb1"
    std::string target;  // "/media/tech/VMCARD"
    std::string fsType;  // "vfat"
    // The folder of the file system that is mounted: "/" for the whole file system, "/VM" for a
    // bind mount of its folder VM.
    std::string root;
    // The block device the source names ("/dev/mapper/root" is dm-0), for file systems whose table
    // entry carries a number of their own (btrfs); 0 when the source is no block device.
    dev_t sourceDevice = 0;

    // True when this entry mounts a file system of the block device.
    [[nodiscard]] bool Mounts(dev_t blockDevice) const;
    // True when this entry mounts the whole file system, not one of its folders.
    [[nodiscard]] bool MountsWholeFileSystem() const { return root == "/"; }
};

// Every mount, in the table's order; empty when the table cannot be read.
std::vector<MountEntry> ReadMountTable();

}  // namespace vocell::linux_drives
