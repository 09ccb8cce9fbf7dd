#include "platform/linux/drives/SystemUse.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "platform/linux/drives/BlockHolders.h"
#include "platform/linux/drives/SwapTable.h"

namespace vocell::linux_drives {
namespace {

bool IsSystemMountPoint(const std::string& target) {
    constexpr std::array<std::string_view, 4> kSystemMounts{"/", "/usr", "/boot", "/home"};
    return std::find(kSystemMounts.begin(), kSystemMounts.end(), target) != kSystemMounts.end();
}

bool Contains(const std::vector<dev_t>& devices, dev_t device) {
    return std::find(devices.begin(), devices.end(), device) != devices.end();
}

bool InUse(dev_t device, const SystemUse& use) {
    if (Contains(use.swaps, device) || Contains(use.judgedSystem, device)) return true;
    return std::any_of(use.mounts.begin(), use.mounts.end(), [&](const MountEntry& mount) {
        return mount.Mounts(device) &&
               (IsSystemMountPoint(mount.target) || !IsUnderMediaRoot(mount.target, use.mediaRoots));
    });
}

}  // namespace

SystemUse ReadSystemUse(const std::vector<std::filesystem::path>& extraMediaRoots,
                        std::vector<dev_t> judgedSystem) {
    SystemUse use{ReadMountTable(), ReadSwapDevices(), kRemovableMediaRoots, std::move(judgedSystem)};
    use.mediaRoots.insert(use.mediaRoots.end(), extraMediaRoots.begin(), extraMediaRoots.end());
    return use;
}

bool IsUnderMediaRoot(const std::filesystem::path& target, const std::vector<std::filesystem::path>& roots) {
    const std::filesystem::path place = target.lexically_normal();
    return std::any_of(roots.begin(), roots.end(), [&](const std::filesystem::path& root) {
        std::filesystem::path folder = root.lexically_normal();
        if (!folder.is_absolute()) return false;
        if (!folder.has_filename()) folder = folder.parent_path();  // "/media/" is "/media"
        return std::mismatch(folder.begin(), folder.end(), place.begin(), place.end()).first == folder.end();
    });
}

bool UsedBySystem(udev* context, udev_device* device, const SystemUse& use) {
    const std::vector<dev_t> stack = DeviceAndHolders(context, device);
    return std::any_of(stack.begin(), stack.end(), [&](dev_t number) { return InUse(number, use); });
}

}  // namespace vocell::linux_drives
