#pragma once
// The block devices stacked on a device: device-mapper targets (LUKS, LVM), md arrays and whatever
// is stacked on those in turn, as sysfs lists them in each device's holders/ folder.

#include <sys/types.h>

#include <vector>

struct udev;
struct udev_device;

namespace vocell::linux_drives {

// The device's own number first, then every device stacked on it, each once.
std::vector<dev_t> DeviceAndHolders(udev* context, udev_device* device);

}  // namespace vocell::linux_drives
