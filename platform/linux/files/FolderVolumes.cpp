#include "platform/linux/files/FolderVolumes.h"

#include <cerrno>

#include "platform/linux/files/FolderIdentity.h"
#include "platform/linux/files/HostDrives.h"
#include "platform/linux/files/MountGeometry.h"

namespace vocell::posix {
namespace {

constexpr char kCardLetter = 'E';
constexpr const char* kCardVolume = "\\\\?\\Volume{vocell-card}\\";
constexpr int kNotReady = 21;
constexpr int kPathNotFound = 3;

class FolderDevice final : public VolumeDevice {
public:
    bool QueryDiskExtents() override { return true; }
};

}  // namespace

bool FolderVolumes::IsCard(const std::string& rootOrVolume) const {
    return rootOrVolume == kCardRoot || rootOrVolume == kCardVolume;
}

std::uint32_t FolderVolumes::LogicalDrives() { return 1u << (kCardLetter - 'A'); }

DriveType FolderVolumes::DriveTypeOf(const std::string& rootOrVolume) {
    return IsCard(rootOrVolume) ? DriveType::Removable : DriveType::NoRootDirectory;
}

bool FolderVolumes::EnumerateVolumes(const std::function<bool(const std::string&)>& visit) {
    visit(kCardVolume);
    return true;
}

std::unique_ptr<VolumeDevice> FolderVolumes::OpenVolumeDevice(const std::string& deviceName) {
    if (deviceName + "\\" != kCardVolume) return nullptr;
    return std::make_unique<FolderDevice>();
}

FsStatus FolderVolumes::OpenRootForReading(const std::string& root) {
    if (!IsCard(root)) return FsStatus::Failure(FsError::PathNotFound, kPathNotFound);
    std::error_code error;
    if (!std::filesystem::is_directory(cardFolder_, error)) {
        return FsStatus::Failure(FsError::NotReady, kNotReady);
    }
    return {};
}

std::optional<std::string> FolderVolumes::VolumeLabel(const std::string& root) {
    if (!IsCard(root)) return std::nullopt;
    auto folder = std::filesystem::absolute(cardFolder_).lexically_normal();
    if (!folder.has_filename()) folder = folder.parent_path();
    return folder.filename().string();
}

std::optional<ClusterGeometry> FolderVolumes::ClusterGeometryOf(const std::string& root) {
    if (!IsCard(root)) return std::nullopt;
    return MountClusterGeometry(cardFolder_.string());
}

std::optional<MediumIdentity> FolderVolumes::MediumIdentityOf(const std::string& root) {
    auto label = VolumeLabel(root);
    if (!label) return std::nullopt;
    return FolderMediumIdentity(cardFolder_, std::move(*label));
}

}  // namespace vocell::posix
