#include "platform/linux/files/FolderIdentity.h"

#include <fcntl.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>

#include <cstdint>
#include <cstdio>

#include "platform/linux/files/UniqueFd.h"

namespace vocell::posix {
namespace {

std::string Hex(std::uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%llx", static_cast<unsigned long long>(value));
    return text;
}

std::string VolumeSerial(int folder, const struct statvfs& info) {
    std::uint32_t fatVolumeId = 0;
    if (::ioctl(folder, FAT_IOCTL_GET_VOLUME_ID, &fatVolumeId) == 0) return "fat:" + Hex(fatVolumeId);
    return "fsid:" + Hex(info.f_fsid);
}

}  // namespace

std::optional<MediumIdentity> FolderMediumIdentity(const std::filesystem::path& folder, std::string label) {
    UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.valid()) return std::nullopt;
    struct statx place {};
    struct statvfs info {};
    if (::statx(fd.get(), "", AT_EMPTY_PATH, STATX_INO | STATX_MNT_ID, &place) != 0 ||
        ::fstatvfs(fd.get(), &info) != 0) {
        return std::nullopt;
    }
    MediumIdentity identity;
    identity.volumeSerial = VolumeSerial(fd.get(), info);
    identity.label = std::move(label);
    identity.capacityBytes = std::uint64_t{info.f_blocks} * info.f_frsize;
    const std::uint64_t mountId = (place.stx_mask & STATX_MNT_ID) != 0 ? place.stx_mnt_id : 0;
    identity.device = Hex(makedev(place.stx_dev_major, place.stx_dev_minor)) + ":" + Hex(place.stx_ino) +
                      ":" + Hex(mountId);
    return identity;
}

}  // namespace vocell::posix
