#include "platform/linux/drives/LinuxVolumes.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/linux/drives/VolumeIdentity.h"
#include "platform/linux/files/ErrnoMapping.h"
#include "platform/linux/files/MountGeometry.h"
#include "platform/linux/files/UniqueFd.h"

namespace vocell::linux_drives {
namespace {

constexpr const char* kVolumePrefix = "\\\\?\\Volume{vocell-";
constexpr const char* kVolumeSuffix = "}\\";

// The letter of "E:\" or of "\\?\Volume{vocell-E}\" (with or without its last backslash).
std::optional<char> LetterOfName(const std::string& name) {
    if (name.size() == 3 && name[1] == ':' && name[2] == '\\') return name[0];
    const std::string prefix(kVolumePrefix);
    if (name.starts_with(prefix) && name.size() > prefix.size() + 1 && name[prefix.size() + 1] == '}') {
        return name[prefix.size()];
    }
    return std::nullopt;
}

class RemovableDevice final : public VolumeDevice {
public:
    explicit RemovableDevice(bool hasMedium) : hasMedium_(hasMedium) {}
    bool QueryDiskExtents() override { return hasMedium_; }

private:
    bool hasMedium_;
};

// Asks the reader whether it holds a medium: nothing when it cannot be asked (no permission to
// open it), so that the last scan's answer stands.
std::optional<bool> ReaderHoldsMedium(const std::string& diskNode) {
    posix::UniqueFd fd(::open(diskNode.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) {
        if (errno == ENOMEDIUM) return false;
        return std::nullopt;
    }
    std::uint64_t size = 0;
    if (::ioctl(fd.get(), BLKGETSIZE64, &size) != 0) {
        // Not a block device to the kernel (a disk image, or a mocked device): its length.
        const off_t end = ::lseek(fd.get(), 0, SEEK_END);
        if (end < 0) return std::nullopt;
        size = static_cast<std::uint64_t>(end);
    }
    return size > 0;
}

bool SameVolume(const RemovableVolume& a, const RemovableVolume& b) {
    return a.key == b.key && a.devNode == b.devNode && a.hasMedium == b.hasMedium &&
           a.mountPoint == b.mountPoint && a.label == b.label && a.uuid == b.uuid;
}

}  // namespace

std::string VolumeName(char letter) { return kVolumePrefix + std::string(1, letter) + kVolumeSuffix; }

LinuxVolumes::LinuxVolumes(std::function<void(const DriveMounts&)> mountsChanged, DriveDiscovery discovery)
    : udev_(udev_new()), mountsChanged_(std::move(mountsChanged)), discovery_(std::move(discovery)) {}

DriveChange LinuxVolumes::Rescan() {
    std::vector<dev_t> judged = discovery_.judgedSystem ? discovery_.judgedSystem() : std::vector<dev_t>();
    std::vector<RemovableVolume> found =
        ScanRemovableVolumes(udev_.get(), ReadSystemUse(discovery_.extraMediaRoots, std::move(judged)));
    std::vector<std::string> keys;
    keys.reserve(found.size());
    for (const RemovableVolume& volume : found) keys.push_back(volume.key);
    letters_.Update(keys);

    std::vector<LetteredVolume> volumes;
    DriveMounts mounts;
    for (RemovableVolume& volume : found) {
        const auto letter = letters_.LetterOf(volume.key);
        if (!letter) continue;  // more volumes than letters
        if (!volume.mountPoint.empty()) mounts[*letter] = volume.mountPoint;
        volumes.push_back({*letter, std::move(volume)});
    }
    std::sort(volumes.begin(), volumes.end(),
              [](const auto& a, const auto& b) { return a.letter < b.letter; });

    DriveChange change = DriveChange::None;
    for (const LetteredVolume& before : volumes_) {
        const auto after = std::find_if(volumes.begin(), volumes.end(),
                                        [&](const auto& v) { return v.letter == before.letter; });
        if (after == volumes.end() || !SameVolume(before.volume, after->volume)) {
            const bool gone = after == volumes.end() ||
                              (before.volume.hasMedium && !after->volume.hasMedium) ||
                              (!before.volume.mountPoint.empty() && after->volume.mountPoint.empty());
            change = gone ? DriveChange::Removed : std::max(change, DriveChange::Arrived);
        }
        if (change == DriveChange::Removed) break;
    }
    if (change == DriveChange::None && volumes.size() > volumes_.size()) change = DriveChange::Arrived;

    volumes_ = std::move(volumes);
    const bool mountsMoved = mounts != mounts_ || !scanned_;
    mounts_ = std::move(mounts);
    scanned_ = true;
    if (mountsMoved && mountsChanged_) mountsChanged_(mounts_);
    return change;
}

std::optional<RemovableVolume> LinuxVolumes::VolumeOfLetter(char letter) const {
    for (const LetteredVolume& entry : volumes_) {
        if (entry.letter == letter) return entry.volume;
    }
    return std::nullopt;
}

const RemovableVolume* LinuxVolumes::Find(const std::string& rootOrVolume) const {
    const auto letter = LetterOfName(rootOrVolume);
    if (!letter) return nullptr;
    for (const LetteredVolume& entry : volumes_) {
        if (entry.letter == *letter) return &entry.volume;
    }
    return nullptr;
}

std::uint32_t LinuxVolumes::LogicalDrives() {
    Rescan();
    std::uint32_t mask = 0;
    for (const LetteredVolume& entry : volumes_) mask |= 1u << (entry.letter - 'A');
    return mask;
}

DriveType LinuxVolumes::DriveTypeOf(const std::string& rootOrVolume) {
    return Find(rootOrVolume) != nullptr ? DriveType::Removable : DriveType::NoRootDirectory;
}

bool LinuxVolumes::EnumerateVolumes(const std::function<bool(const std::string&)>& visit) {
    if (!udev_) return false;
    Rescan();
    for (const LetteredVolume& entry : volumes_) {
        if (!visit(VolumeName(entry.letter))) break;
    }
    return true;
}

std::unique_ptr<VolumeDevice> LinuxVolumes::OpenVolumeDevice(const std::string& deviceName) {
    const RemovableVolume* volume = Find(deviceName + "\\");
    if (volume == nullptr) return nullptr;
    return std::make_unique<RemovableDevice>(volume->hasMedium);
}

FsStatus LinuxVolumes::OpenRootForReading(const std::string& root) {
    const RemovableVolume* volume = Find(root);
    if (volume == nullptr) return FsStatus::Failure(FsError::PathNotFound, ENOENT);
    if (!ReaderHoldsMedium(volume->diskNode).value_or(volume->hasMedium)) {
        return FsStatus::Failure(FsError::NotReady, ENOMEDIUM);
    }
    // A medium that is not mounted (no file system yet, or not mounted by the desktop) has no root
    // directory to open; that is not "no medium", so Initialize can still format it.
    if (volume->mountPoint.empty()) return FsStatus::Failure(FsError::PathNotFound, ENOENT);
    posix::UniqueFd fd(::open(volume->mountPoint.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.valid()) {
        return errno == ENOMEDIUM ? FsStatus::Failure(FsError::NotReady, errno)
                                  : posix::StatusFromErrno(errno);
    }
    return {};
}

std::optional<std::string> LinuxVolumes::VolumeLabel(const std::string& root) {
    const RemovableVolume* volume = Find(root);
    if (volume == nullptr || !volume->hasMedium) return std::nullopt;
    return volume->label;
}

std::optional<ClusterGeometry> LinuxVolumes::ClusterGeometryOf(const std::string& root) {
    const RemovableVolume* volume = Find(root);
    if (volume == nullptr || volume->mountPoint.empty()) return std::nullopt;
    return posix::MountClusterGeometry(volume->mountPoint);
}

std::optional<MediumIdentity> LinuxVolumes::MediumIdentityOf(const std::string& root) {
    Rescan();
    const RemovableVolume* volume = Find(root);
    if (volume == nullptr) return std::nullopt;
    return IdentityOf(*volume);
}

}  // namespace vocell::linux_drives
