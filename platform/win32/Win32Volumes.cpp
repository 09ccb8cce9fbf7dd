#include "platform/win32/Win32Volumes.h"

#include <windows.h>

#include <winioctl.h>

#include <array>

#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Errors.h"

namespace vocell::win32 {
namespace {

class Win32VolumeDevice final : public VolumeDevice {
public:
    explicit Win32VolumeDevice(FileHandle device) : device_(std::move(device)) {}

    bool QueryDiskExtents() override {
        // Only whether the system can describe the disk counts, not what it says.
        std::array<std::byte, 1024> answer{};
        DWORD returned = 0;
        return ::DeviceIoControl(device_.get(), IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, nullptr, 0,
                                 answer.data(), static_cast<DWORD>(answer.size()), &returned,
                                 nullptr) != FALSE;
    }

private:
    FileHandle device_;
};

}  // namespace

DriveType DriveTypeFromWin32(unsigned type) {
    switch (type) {
        case DRIVE_NO_ROOT_DIR: return DriveType::NoRootDirectory;
        case DRIVE_REMOVABLE: return DriveType::Removable;
        case DRIVE_FIXED: return DriveType::Fixed;
        case DRIVE_REMOTE: return DriveType::Remote;
        case DRIVE_CDROM: return DriveType::CdRom;
        case DRIVE_RAMDISK: return DriveType::RamDisk;
        default: return DriveType::Unknown;
    }
}

std::uint32_t Win32Volumes::LogicalDrives() { return ::GetLogicalDrives(); }

DriveType Win32Volumes::DriveTypeOf(const std::string& rootOrVolume) {
    return DriveTypeFromWin32(::GetDriveTypeA(rootOrVolume.c_str()));
}

bool Win32Volumes::EnumerateVolumes(const std::function<bool(const std::string&)>& visit) {
    std::array<char, MAX_PATH> name{};
    VolumeFindHandle volumes(::FindFirstVolumeA(name.data(), static_cast<DWORD>(name.size())));
    if (!volumes.valid()) return false;
    do {
        if (!visit(std::string(name.data()))) break;
    } while (::FindNextVolumeA(volumes.get(), name.data(), static_cast<DWORD>(name.size())));
    return true;
}

std::unique_ptr<VolumeDevice> Win32Volumes::OpenVolumeDevice(const std::string& deviceName) {
    // Neither read nor write access: the device is only asked about its disk.
    FileHandle device(::CreateFileA(deviceName.c_str(), 0, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!device.valid()) return nullptr;
    return std::make_unique<Win32VolumeDevice>(std::move(device));
}

FsStatus Win32Volumes::OpenRootForReading(const std::string& root) {
    FileHandle opened(::CreateFileA(root.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (opened.valid()) return {};
    return LastErrorStatus();
}

std::optional<std::string> Win32Volumes::VolumeLabel(const std::string& root) {
    std::array<char, 256> label{};
    if (!::GetVolumeInformationA(root.c_str(), label.data(), static_cast<DWORD>(label.size() - 1), nullptr,
                                 nullptr, nullptr, nullptr, 0)) {
        return std::nullopt;
    }
    return std::string(label.data());
}

std::optional<ClusterGeometry> Win32Volumes::ClusterGeometryOf(const std::string& root) {
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    if (!::GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters,
                             &totalClusters)) {
        return std::nullopt;
    }
    return ClusterGeometry{sectorsPerCluster, bytesPerSector, totalClusters};
}

std::optional<MediumIdentity> Win32Volumes::MediumIdentityOf(const std::string& root) {
    MediumIdentity identity;
    std::array<char, 256> label{};
    DWORD serial = 0;
    const bool described =
        ::GetVolumeInformationA(root.c_str(), label.data(), static_cast<DWORD>(label.size() - 1), &serial,
                                nullptr, nullptr, nullptr, 0) != FALSE;
    if (described) {
        identity.volumeSerial = std::to_string(serial);
        identity.label = label.data();
    }
    if (auto geometry = ClusterGeometryOf(root)) {
        identity.capacityBytes =
            std::uint64_t{geometry->sectorsPerCluster} * geometry->bytesPerSector * geometry->totalClusters;
    }
    std::array<char, MAX_PATH> volumeName{};
    if (::GetVolumeNameForVolumeMountPointA(root.c_str(), volumeName.data(),
                                            static_cast<DWORD>(volumeName.size()))) {
        identity.device = volumeName.data();
    }
    if (!described && identity.device.empty()) return std::nullopt;
    return identity;
}

}  // namespace vocell::win32
