#pragma once
// Tells when removable drives may have changed: block devices coming, going or changing media
// (a udev monitor) and file systems being mounted or unmounted (libmount's monitor of the
// mount table). Both are file descriptors for the program's event loop to watch.

#include "platform/linux/drives/LinuxHandles.h"

namespace vocell::linux_drives {

class DeviceMonitor {
public:
    DeviceMonitor();

    // -1 when that monitor could not be set up (no udev, or a mount table that cannot be
    // watched); the other still works.
    [[nodiscard]] int udevFd() const;
    [[nodiscard]] int mountFd() const;

    // Reads every pending uevent; true when one concerned a block device.
    bool DrainUdevEvents();
    // Takes every pending change of the mount table; true when there was one.
    bool DrainMountChanges();

private:
    UdevPtr udev_;
    UdevMonitorPtr udevMonitor_;
    MountMonitorPtr mountMonitor_;
};

}  // namespace vocell::linux_drives
