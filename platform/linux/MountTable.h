#pragma once
// The mount table as the process sees it (/proc/self/mountinfo), read with libmount.

#include <sys/types.h>

#include <string>
#include <vector>

namespace vocell::linux_drives {

struct MountEntry {
    dev_t device = 0;    // major:minor of the mounted block device; 0 for virtual file systems
    std::string source;  // "/dev/sdb1"
    std::string target;  // "/media/tech/VMCARD"
    std::string fsType;  // "vfat"
};

// Every mount, in the table's order; empty when the table cannot be read.
std::vector<MountEntry> ReadMountTable();

// Mount points that belong to the running system: a disk holding one of them is the system disk.
bool IsSystemMountPoint(const std::string& target);

}  // namespace vocell::linux_drives
