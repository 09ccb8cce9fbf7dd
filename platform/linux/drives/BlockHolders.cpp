#include "platform/linux/drives/BlockHolders.h"

#include <dirent.h>

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>

#include "platform/linux/drives/LinuxHandles.h"

namespace vocell::linux_drives {
namespace {

// Deeper than any real stack (a partition, LUKS, LVM, a snapshot): a loop in a broken sysfs ends here.
constexpr int kDeepestStack = 16;

struct DirectoryClose {
    void operator()(DIR* directory) const { ::closedir(directory); }
};
using DirectoryPtr = std::unique_ptr<DIR, DirectoryClose>;

void AddHolders(udev* context, udev_device* device, int depth, std::vector<dev_t>& found) {
    const char* path = udev_device_get_syspath(device);
    if (path == nullptr || depth > kDeepestStack) return;
    DirectoryPtr holders(::opendir((std::string(path) + "/holders").c_str()));
    if (!holders) return;
    while (const dirent* entry = ::readdir(holders.get())) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") continue;
        UdevDevicePtr holder(udev_device_new_from_subsystem_sysname(context, "block", entry->d_name));
        if (!holder) continue;
        const dev_t number = udev_device_get_devnum(holder.get());
        if (std::find(found.begin(), found.end(), number) != found.end()) continue;
        found.push_back(number);
        AddHolders(context, holder.get(), depth + 1, found);
    }
}

}  // namespace

std::vector<dev_t> DeviceAndHolders(udev* context, udev_device* device) {
    std::vector<dev_t> found{udev_device_get_devnum(device)};
    AddHolders(context, device, 0, found);
    return found;
}

}  // namespace vocell::linux_drives
