#include "platform/linux/MountTable.h"

#include <array>
#include <string_view>

#include "platform/linux/LinuxHandles.h"

namespace vocell::linux_drives {
namespace {

constexpr const char* kMountInfo = "/proc/self/mountinfo";

std::string Text(const char* value) { return value != nullptr ? value : ""; }

}  // namespace

std::vector<MountEntry> ReadMountTable() {
    std::vector<MountEntry> entries;
    MountTablePtr table(mnt_new_table_from_file(kMountInfo));
    if (!table) return entries;
    libmnt_iter* iterator = mnt_new_iter(MNT_ITER_FORWARD);
    if (iterator == nullptr) return entries;
    libmnt_fs* fs = nullptr;
    while (mnt_table_next_fs(table.get(), iterator, &fs) == 0) {
        entries.push_back({mnt_fs_get_devno(fs), Text(mnt_fs_get_source(fs)), Text(mnt_fs_get_target(fs)),
                           Text(mnt_fs_get_fstype(fs))});
    }
    mnt_free_iter(iterator);
    return entries;
}

bool IsSystemMountPoint(const std::string& target) {
    constexpr std::array<std::string_view, 6> kSystemMounts{"/",    "/boot", "/boot/efi",
                                                            "/usr", "/var",  "/home"};
    for (std::string_view system : kSystemMounts) {
        if (target == system) return true;
    }
    return false;
}

}  // namespace vocell::linux_drives
