#include "platform/linux/drives/VolumeIdentity.h"

#include <libudev.h>

namespace vocell::linux_drives {

std::string ReaderNameOf(udev_device* disk) {
    const char* serial = udev_device_get_property_value(disk, "ID_SERIAL");
    if (serial != nullptr && *serial != '\0') return serial;
    const char* path = udev_device_get_syspath(disk);
    return path != nullptr ? path : "";
}

std::string VolumeDeviceName(const std::string& reader, const std::string& partition) {
    return partition.empty() ? reader : reader + "-part" + partition;
}

std::optional<MediumIdentity> IdentityOf(const RemovableVolume& volume) {
    if (!volume.hasMedium) return std::nullopt;
    return MediumIdentity{volume.uuid, volume.label, volume.sizeBytes,
                          VolumeDeviceName(volume.readerName, volume.partition)};
}

}  // namespace vocell::linux_drives
