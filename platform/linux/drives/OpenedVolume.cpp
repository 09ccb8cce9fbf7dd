#include "platform/linux/drives/OpenedVolume.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>

#include "platform/linux/drives/FileSystemProbe.h"
#include "platform/linux/drives/LinuxHandles.h"
#include "platform/linux/drives/VolumeIdentity.h"

namespace vocell::linux_drives {
namespace {

std::string Text(const char* value) { return value != nullptr ? value : ""; }

std::optional<std::uint64_t> SizeOf(int fd, bool kernelBlockDevice) {
    if (kernelBlockDevice) {
        std::uint64_t size = 0;
        if (::ioctl(fd, BLKGETSIZE64, &size) != 0) return std::nullopt;
        return size;
    }
    struct stat file {};
    if (::fstat(fd, &file) != 0) return std::nullopt;
    return static_cast<std::uint64_t>(file.st_size);
}

}  // namespace

OpenedVolume::OpenedVolume(posix::UniqueFd fd, dev_t device, dev_t nodeFileSystem, ino_t node,
                           bool kernelBlockDevice)
    : fd_(std::move(fd)),
      device_(device),
      nodeFileSystem_(nodeFileSystem),
      node_(node),
      kernelBlockDevice_(kernelBlockDevice) {}

std::optional<OpenedVolume> OpenedVolume::Open(const std::string& devNode) {
    posix::UniqueFd fd(::open(devNode.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat opened {};
    struct stat named {};
    if (!fd.valid() || ::fstat(fd.get(), &opened) != 0 || ::stat(devNode.c_str(), &named) != 0)
        return std::nullopt;
    // The name must still be the node opened, and a block device (the number comes from the name's
    // stat, which a device mocked for tests answers too).
    if (named.st_dev != opened.st_dev || named.st_ino != opened.st_ino || !S_ISBLK(named.st_mode)) {
        return std::nullopt;
    }
    const bool kernelBlockDevice = S_ISBLK(opened.st_mode);
    if (kernelBlockDevice && opened.st_rdev != named.st_rdev) return std::nullopt;
    return OpenedVolume(std::move(fd), named.st_rdev, opened.st_dev, opened.st_ino, kernelBlockDevice);
}

std::optional<MediumIdentity> OpenedVolume::Identity() const {
    const auto size = SizeOf(fd_.get(), kernelBlockDevice_);
    const auto fileSystem = ProbeFileSystem(fd_.get());
    UdevPtr context(udev_new());
    if (!size || !fileSystem || !context) return std::nullopt;
    UdevDevicePtr volume(udev_device_new_from_devnum(context.get(), 'b', device_));
    if (!volume) return std::nullopt;
    udev_device* disk = volume.get();
    std::string partition;
    if (Text(udev_device_get_devtype(volume.get())) == "partition") {
        disk = udev_device_get_parent_with_subsystem_devtype(volume.get(), "block", "disk");
        partition = Text(udev_device_get_sysattr_value(volume.get(), "partition"));
        if (disk == nullptr || partition.empty()) return std::nullopt;
    }
    return MediumIdentity{fileSystem->uuid, fileSystem->label, *size,
                          VolumeDeviceName(ReaderNameOf(disk), partition)};
}

bool OpenedVolume::NamedBy(const std::string& devNode) const {
    struct stat named {};
    return ::stat(devNode.c_str(), &named) == 0 && named.st_dev == nodeFileSystem_ && named.st_ino == node_;
}

std::string OpenedVolume::descriptorPath() const { return "/proc/self/fd/" + std::to_string(fd_.get()); }

}  // namespace vocell::linux_drives
