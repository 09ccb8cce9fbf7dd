#pragma once
// What the device code asks of the system about drives and volumes. Drive roots are "X:\";
// volume names are the system's volume paths, ending in "\".

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/FileSystem.h"

namespace vocell {

enum class DriveType { Unknown, NoRootDirectory, Removable, Fixed, Remote, CdRom, RamDisk };

struct ClusterGeometry {
    std::uint32_t sectorsPerCluster = 0;
    std::uint32_t bytesPerSector = 0;
    std::uint32_t totalClusters = 0;
};

// What tells one medium in a drive from another: a card swapped for another in the same reader,
// or another disk that took the drive's letter, differs in at least one part. A part the system
// cannot tell is empty (or 0), alike at every asking.
struct MediumIdentity {
    std::string volumeSerial;  // the file system's serial number or UUID
    std::string label;
    std::uint64_t capacityBytes = 0;
    // The disk and partition that hold the volume, in words that change only with them (on Linux
    // the reader's serial and the partition; on Windows the volume's own name).
    std::string device;
    bool operator==(const MediumIdentity&) const = default;
};

// An open volume device; closes itself.
class VolumeDevice {
public:
    virtual ~VolumeDevice() = default;
    // True when the volume lies on a disk whose extents the system can report.
    virtual bool QueryDiskExtents() = 0;
};

class Volumes {
public:
    virtual ~Volumes() = default;

    // Bit i is set when drive letter 'A' + i exists.
    virtual std::uint32_t LogicalDrives() = 0;
    // The type of a drive root ("E:\") or a volume name (with its trailing "\").
    virtual DriveType DriveTypeOf(const std::string& rootOrVolume) = 0;

    // Calls visit with each volume name in the system's order until visit returns false.
    // False when the enumeration cannot be started.
    virtual bool EnumerateVolumes(const std::function<bool(const std::string&)>& visit) = 0;
    // Opens a volume as a device, by its name without the trailing "\"; nothing on failure.
    virtual std::unique_ptr<VolumeDevice> OpenVolumeDevice(const std::string& deviceName) = 0;

    // The media test: an attempt to open the drive root for reading. NotReady means the drive
    // holds no medium; every other outcome, success included, means it may.
    virtual FsStatus OpenRootForReading(const std::string& root) = 0;
    // The volume label of a drive root; nothing when it cannot be read.
    virtual std::optional<std::string> VolumeLabel(const std::string& root) = 0;
    // The cluster geometry of a drive root's volume; nothing when it cannot be read.
    virtual std::optional<ClusterGeometry> ClusterGeometryOf(const std::string& root) = 0;
    // The identity of the medium in a drive, asked afresh; nothing when nothing of it can be read.
    virtual std::optional<MediumIdentity> MediumIdentityOf(const std::string& root) = 0;
};

}  // namespace vocell
