#pragma once
// A card folder presented to the dialog as a drive: the folder is the one
// removable drive, E:, its label the folder's name and its capacity that of the file system
// holding it.

#include <filesystem>

#include "platform/Volumes.h"

namespace vocell::posix {

class FolderVolumes final : public Volumes {
public:
    explicit FolderVolumes(std::filesystem::path cardFolder) : cardFolder_(std::move(cardFolder)) {}

    std::uint32_t LogicalDrives() override;
    DriveType DriveTypeOf(const std::string& rootOrVolume) override;
    bool EnumerateVolumes(const std::function<bool(const std::string&)>& visit) override;
    std::unique_ptr<VolumeDevice> OpenVolumeDevice(const std::string& deviceName) override;
    FsStatus OpenRootForReading(const std::string& root) override;
    std::optional<std::string> VolumeLabel(const std::string& root) override;
    std::optional<ClusterGeometry> ClusterGeometryOf(const std::string& root) override;
    std::optional<MediumIdentity> MediumIdentityOf(const std::string& root) override;

private:
    [[nodiscard]] bool IsCard(const std::string& rootOrVolume) const;

    std::filesystem::path cardFolder_;
};

}  // namespace vocell::posix
