#pragma once
// The active swap areas (/proc/swaps) and the block devices they live on.

#include <sys/types.h>

#include <vector>

namespace vocell::linux_drives {

// For a swap partition the partition itself (a device-mapper one too), for a swap file the device
// of the file system that holds it; empty when the table cannot be read.
std::vector<dev_t> ReadSwapDevices();

}  // namespace vocell::linux_drives
