#include "devices/VolumeCensus.h"

namespace vocell::devices {

int CountRemovableVolumes(Volumes& volumes, int maxCount) {
    int count = 0;
    volumes.EnumerateVolumes([&](const std::string& volumeName) {
        if (!volumeName.empty() && volumes.DriveTypeOf(volumeName) == DriveType::Removable) {
            // Opened as a device, not as its root folder: without the trailing separator.
            auto device = volumes.OpenVolumeDevice(volumeName.substr(0, volumeName.size() - 1));
            if (device && device->QueryDiskExtents()) ++count;
        }
        return count < maxCount;
    });
    return count;
}

}  // namespace vocell::devices
