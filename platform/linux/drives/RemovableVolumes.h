#pragma once
// The removable volumes present: every volume on a disk with removable media (a card reader, a
// USB flash drive, an SD slot), and one entry for each such reader that holds no medium. Fixed
// disks, optical drives and any disk the running system uses (SystemUse) are never listed.

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/linux/drives/SystemUse.h"

struct udev;

namespace vocell::linux_drives {

struct RemovableVolume {
    // Names the volume for as long as its reader stays plugged in: the reader's sysfs path for
    // its first volume (also while it holds no medium), with "#n" added for the n-th further one.
    std::string key;
    std::string devNode;   // "/dev/sdb1"; the reader's own node while it holds no medium
    std::string diskNode;  // "/dev/sdb"
    dev_t device = 0;
    bool hasMedium = false;
    std::string mountPoint;  // empty while not mounted
    std::string label;       // as the file system stores it ("VM CARD")
    std::string fsType;      // empty for a medium with no file system yet
    std::string bus;         // "usb", "mmc", ...
    std::string uuid;        // the file system's UUID or serial ("1A2B-3C4D" on FAT)
    // The reader (ReaderNameOf): udev's ID_SERIAL of the disk, else its sysfs path.
    std::string readerName;
    // Every serial number udev knows the reader by (ID_SERIAL, ID_SERIAL_SHORT, ID_SCSI_SERIAL).
    std::vector<std::string> readerSerials;
    std::string partition;        // the partition's number; empty for a volume on the whole disk
    std::uint64_t sizeBytes = 0;  // the volume's size as the kernel reports it
};

// Scans the block devices known to udev; mounts and the system's use come from use.
std::vector<RemovableVolume> ScanRemovableVolumes(udev* context, const SystemUse& use);

}  // namespace vocell::linux_drives
