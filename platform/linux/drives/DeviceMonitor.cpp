#include "platform/linux/drives/DeviceMonitor.h"

#include <string_view>

namespace vocell::linux_drives {

DeviceMonitor::DeviceMonitor() : udev_(udev_new()) {
    if (udev_) {
        udevMonitor_.reset(udev_monitor_new_from_netlink(udev_.get(), "udev"));
        if (udevMonitor_ &&
            (udev_monitor_filter_add_match_subsystem_devtype(udevMonitor_.get(), "block", nullptr) < 0 ||
             udev_monitor_enable_receiving(udevMonitor_.get()) < 0)) {
            udevMonitor_.reset();
        }
    }
    mountMonitor_.reset(mnt_new_monitor());
    if (mountMonitor_ && (mnt_monitor_enable_kernel(mountMonitor_.get(), 1) < 0 ||
                          mnt_monitor_get_fd(mountMonitor_.get()) < 0)) {
        mountMonitor_.reset();
    }
}

int DeviceMonitor::udevFd() const { return udevMonitor_ ? udev_monitor_get_fd(udevMonitor_.get()) : -1; }

int DeviceMonitor::mountFd() const { return mountMonitor_ ? mnt_monitor_get_fd(mountMonitor_.get()) : -1; }

bool DeviceMonitor::DrainUdevEvents() {
    if (!udevMonitor_) return false;
    bool block = false;
    while (UdevDevicePtr device{udev_monitor_receive_device(udevMonitor_.get())}) {
        const char* subsystem = udev_device_get_subsystem(device.get());
        block = block || (subsystem != nullptr && std::string_view(subsystem) == "block");
    }
    return block;
}

bool DeviceMonitor::DrainMountChanges() {
    if (!mountMonitor_) return false;
    bool changed = false;
    while (mnt_monitor_next_change(mountMonitor_.get(), nullptr, nullptr) == 0) changed = true;
    return changed;
}

}  // namespace vocell::linux_drives
