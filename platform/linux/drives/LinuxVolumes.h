#pragma once
// The removable drives of a Linux machine as the dialog's drives: each removable volume gets a
// letter (DriveLetters), its mount point is its root directory, the media test asks the reader
// itself, the label comes from udev or libblkid and the capacity from statvfs of the mount point.

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "platform/Volumes.h"
#include "platform/linux/drives/DriveLetters.h"
#include "platform/linux/drives/LinuxHandles.h"
#include "platform/linux/drives/RemovableVolumes.h"

namespace vocell::linux_drives {

// Letter to mount point of every mounted removable volume.
using DriveMounts = std::map<char, std::filesystem::path>;

// Where drive discovery looks besides the machine's own tables.
struct DriveDiscovery {
    // Folders under which removable media are mounted, besides kRemovableMediaRoots.
    std::vector<std::filesystem::path> extraMediaRoots;
    // The block devices that a disk service (UDisks2) marks as the system's or to be ignored, asked
    // at each scan; unset, or empty, where no service judges.
    std::function<std::vector<dev_t>()> judgedSystem;
};

// What a rescan found compared with the scan before it.
enum class DriveChange { None, Arrived, Removed };

class LinuxVolumes final : public Volumes {
public:
    // mountsChanged runs whenever a rescan finds the mounted drives changed, and once at the first
    // scan, so that the file system's drive map can follow.
    explicit LinuxVolumes(std::function<void(const DriveMounts&)> mountsChanged = {},
                          DriveDiscovery discovery = {});

    // Scans the drives again. Removed when a volume, medium or mount has gone, Arrived when one
    // has come or changed otherwise.
    DriveChange Rescan();
    // The volume that holds letter in the last scan.
    [[nodiscard]] std::optional<RemovableVolume> VolumeOfLetter(char letter) const;
    [[nodiscard]] const DriveMounts& mounts() const { return mounts_; }

    std::uint32_t LogicalDrives() override;
    DriveType DriveTypeOf(const std::string& rootOrVolume) override;
    bool EnumerateVolumes(const std::function<bool(const std::string&)>& visit) override;
    std::unique_ptr<VolumeDevice> OpenVolumeDevice(const std::string& deviceName) override;
    FsStatus OpenRootForReading(const std::string& root) override;
    std::optional<std::string> VolumeLabel(const std::string& root) override;
    std::optional<ClusterGeometry> ClusterGeometryOf(const std::string& root) override;
    // The identity of the volume in the drive (IdentityOf), scanned afresh.
    std::optional<MediumIdentity> MediumIdentityOf(const std::string& root) override;

private:
    struct LetteredVolume {
        char letter;
        RemovableVolume volume;
    };
    [[nodiscard]] const RemovableVolume* Find(const std::string& rootOrVolume) const;

    UdevPtr udev_;
    DriveLetters letters_;
    std::vector<LetteredVolume> volumes_;
    DriveMounts mounts_;
    bool scanned_ = false;
    std::function<void(const DriveMounts&)> mountsChanged_;
    DriveDiscovery discovery_;
};

// "\\?\Volume{vocell-E}\" for the volume with letter E.
std::string VolumeName(char letter);

}  // namespace vocell::linux_drives
