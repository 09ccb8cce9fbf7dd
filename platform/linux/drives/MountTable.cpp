#include "platform/linux/drives/MountTable.h"

#include <sys/stat.h>

#include "platform/linux/drives/LinuxHandles.h"

namespace vocell::linux_drives {
namespace {

constexpr const char* kMountInfo = "/proc/self/mountinfo";

std::string Text(const char* value) { return value != nullptr ? value : ""; }

dev_t BlockDeviceNamed(const std::string& source) {
    struct stat node {};
    if (!source.starts_with("/dev/") || ::stat(source.c_str(), &node) != 0 || !S_ISBLK(node.st_mode))
        return 0;
    return node.st_rdev;
}

}  // namespace

bool MountEntry::Mounts(dev_t blockDevice) const {
    return blockDevice != 0 && (device == blockDevice || sourceDevice == blockDevice);
}

std::vector<MountEntry> ReadMountTable() {
    std::vector<MountEntry> entries;
    MountTablePtr table(mnt_new_table_from_file(kMountInfo));
    if (!table) return entries;
    MountIteratorPtr iterator(mnt_new_iter(MNT_ITER_FORWARD));
    if (!iterator) return entries;
    libmnt_fs* fs = nullptr;
    while (mnt_table_next_fs(table.get(), iterator.get(), &fs) == 0) {
        MountEntry entry{mnt_fs_get_devno(fs), Text(mnt_fs_get_source(fs)), Text(mnt_fs_get_target(fs)),
                         Text(mnt_fs_get_fstype(fs)), Text(mnt_fs_get_root(fs))};
        entry.sourceDevice = BlockDeviceNamed(entry.source);
        entries.push_back(std::move(entry));
    }
    return entries;
}

}  // namespace vocell::linux_drives
