#pragma once
// The drives as the command line presents them to the dialog: the card folder is the one
// removable drive, E:, its label the folder's name and its capacity that of the file system
// holding it. There is no format dialog on the command line.

#include <filesystem>

#include "platform/Volumes.h"

namespace vocell::cli {

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

private:
    [[nodiscard]] bool IsCard(const std::string& rootOrVolume) const;

    std::filesystem::path cardFolder_;
};

}  // namespace vocell::cli
