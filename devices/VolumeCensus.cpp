#include "devices/VolumeCensus.h"

namespace vocell::devices {

int CountRemovableVolumes(Volumes& volumes, int maxCount) {
    int count = 0;
    volumes.enumerateVolumes([&](const std::string& volumeName) {
        if (!volumeName.empty() && volumes.driveType(volumeName) == DriveType::Removable) {
            // Opened as a device, not as its root folder: without the trailing separator.
            auto device = volumes.openVolumeDevice(volumeName.substr(0, volumeName.size() - 1));
            if (device && device->queryDiskExtents()) ++count;
        }
        return count < maxCount;
    });
    return count;
}

}  // namespace vocell::devices
