#pragma once
// What the running system uses of the machine's block devices. A removable disk is offered only
// when none of its volumes, nor anything stacked on them, is in that use: mounted anywhere but under
// the folders where removable media are mounted, holding /, /usr, /boot or /home, active swap, or
// marked by the disk service (UDisks2, where it runs) as the system's or to be ignored.

#include <sys/types.h>

#include <filesystem>
#include <vector>

#include "platform/linux/drives/MountTable.h"

struct udev;
struct udev_device;

namespace vocell::linux_drives {

// Where desktops and technicians mount removable media.
inline const std::vector<std::filesystem::path> kRemovableMediaRoots{"/media", "/run/media", "/mnt"};

struct SystemUse {
    std::vector<MountEntry> mounts;
    std::vector<dev_t> swaps;                       // the devices that active swap lives on
    std::vector<std::filesystem::path> mediaRoots;  // removable media are mounted under these
    std::vector<dev_t> judgedSystem;                // what the disk service judges the system's
};

// The mount table and the active swaps as they are now, with kRemovableMediaRoots and the
// extra roots given; judgedSystem as given.
SystemUse ReadSystemUse(const std::vector<std::filesystem::path>& extraMediaRoots,
                        std::vector<dev_t> judgedSystem);

// True when target is one of the roots or lies below one.
bool IsUnderMediaRoot(const std::filesystem::path& target, const std::vector<std::filesystem::path>& roots);

// True when the device or anything stacked on it is in the system's use.
bool UsedBySystem(udev* context, udev_device* device, const SystemUse& use);

}  // namespace vocell::linux_drives
