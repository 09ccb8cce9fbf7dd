#pragma once
// The system's drives and volumes for the device code: the volume enumeration, drive types, the
// disk-extents query, the media test, labels and cluster geometry.

#include "platform/Volumes.h"

namespace vocell::win32 {

class Win32Volumes final : public Volumes {
public:
    std::uint32_t LogicalDrives() override;
    DriveType DriveTypeOf(const std::string& rootOrVolume) override;
    bool EnumerateVolumes(const std::function<bool(const std::string&)>& visit) override;
    std::unique_ptr<VolumeDevice> OpenVolumeDevice(const std::string& deviceName) override;
    FsStatus OpenRootForReading(const std::string& root) override;
    std::optional<std::string> VolumeLabel(const std::string& root) override;
    std::optional<ClusterGeometry> ClusterGeometryOf(const std::string& root) override;
    // The volume's serial number and label, its capacity, and its volume name (which the system
    // keeps for a partition when it is formatted).
    std::optional<MediumIdentity> MediumIdentityOf(const std::string& root) override;
};

// The drive type GetDriveTypeA reports, in the interface's terms.
DriveType DriveTypeFromWin32(unsigned type);

}  // namespace vocell::win32
