#pragma once
// Owning handles for libudev and libmount objects: each releases its object when it goes.

#include <libmount/libmount.h>
#include <libudev.h>

#include <memory>

namespace vocell::linux_drives {

struct UdevRelease {
    void operator()(udev* object) const { udev_unref(object); }
    void operator()(udev_device* object) const { udev_device_unref(object); }
    void operator()(udev_enumerate* object) const { udev_enumerate_unref(object); }
    void operator()(udev_monitor* object) const { udev_monitor_unref(object); }
};

struct MountRelease {
    void operator()(libmnt_table* object) const { mnt_unref_table(object); }
    void operator()(libmnt_monitor* object) const { mnt_unref_monitor(object); }
    void operator()(libmnt_iter* object) const { mnt_free_iter(object); }
};

using UdevPtr = std::unique_ptr<udev, UdevRelease>;
using UdevDevicePtr = std::unique_ptr<udev_device, UdevRelease>;
using UdevEnumeratePtr = std::unique_ptr<udev_enumerate, UdevRelease>;
using UdevMonitorPtr = std::unique_ptr<udev_monitor, UdevRelease>;
using MountTablePtr = std::unique_ptr<libmnt_table, MountRelease>;
using MountMonitorPtr = std::unique_ptr<libmnt_monitor, MountRelease>;
using MountIteratorPtr = std::unique_ptr<libmnt_iter, MountRelease>;

}  // namespace vocell::linux_drives
