#pragma once
// The drives and volumes of a test machine. Each drive's medium is a host folder:
// <root>/drives/<letter> while it is in the drive, <root>/ejected/<letter> while it is out and
// <root>/removed/<letter> while the drive itself is unplugged, so that content comes back with
// the medium. Every drive is a volume named \\?\Volume{<letter>}\.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Desktop.h"
#include "platform/Volumes.h"

namespace vocell::test {

// 4 sectors of 512 bytes in 61036 clusters: 125,001,728 bytes, 125 decimal megabytes.
inline constexpr ClusterGeometry kCard125MB{4, 512, 61036};

class FakeVolumes final : public Volumes {
public:
    explicit FakeVolumes(std::filesystem::path root);
    ~FakeVolumes() override;
    FakeVolumes(const FakeVolumes&) = delete;
    FakeVolumes& operator=(const FakeVolumes&) = delete;

    // Plugs in a drive (letters A to Z, either case). With a medium its folder is created, or
    // brought back from an earlier removeDrive. Throws std::logic_error if the drive exists.
    void AddDrive(char letter, DriveType type, bool medium = true, std::string label = "",
                  ClusterGeometry geometry = kCard125MB);
    // Unplugs the drive; its medium's content is kept for a later addDrive.
    void RemoveDrive(char letter);
    // Takes the medium out; insertMedium puts the same content back (an empty medium if the
    // drive never held one).
    void EjectMedium(char letter);
    void InsertMedium(char letter);
    // Puts another medium into the drive in place of the one in it: empty, with its own serial
    // number and the label given.
    void SwapMedium(char letter, std::string label);
    // Unplugs the drive and plugs another disk in under its letter: empty, with the label given.
    void PlugInAnotherDisk(char letter, std::string label);
    void SetGeometry(char letter, ClusterGeometry geometry);
    void FailLabel(char letter, bool fail = true);
    void FailGeometry(char letter, bool fail = true);
    void FailExtents(char letter, bool fail = true);
    void FailIdentity(char letter, bool fail = true);
    void FailEnumeration(bool fail = true) { failEnumeration_ = fail; }
    // false: the format dialog empties the drive's medium; true: it is closed unused.
    void SetFormatClosesWithoutFormatting(bool closes) { formatClosesUnused_ = closes; }
    // The format dialog's work on a drive, by its index counted from A = 0: the medium emptied, with
    // a new serial number, when it is the medium given.
    FormatOutcome Format(int driveIndex, const MediumIdentity& medium);

    [[nodiscard]] bool HasMedium(char letter) const;
    // The host folder of the drive's medium while it is in the drive.
    [[nodiscard]] std::filesystem::path DriveFolder(char letter) const;
    // "\\?\Volume{E}\".
    [[nodiscard]] static std::string VolumeName(char letter);

    // Devices handed out and not destroyed yet.
    [[nodiscard]] int liveDevices() const { return devicesHandedOut_ - closedDevices_; }

    std::uint32_t LogicalDrives() override;
    DriveType DriveTypeOf(const std::string& rootOrVolume) override;
    bool EnumerateVolumes(const std::function<bool(const std::string&)>& visit) override;
    std::unique_ptr<VolumeDevice> OpenVolumeDevice(const std::string& deviceName) override;
    FsStatus OpenRootForReading(const std::string& root) override;
    std::optional<std::string> VolumeLabel(const std::string& root) override;
    std::optional<ClusterGeometry> ClusterGeometryOf(const std::string& root) override;
    std::optional<MediumIdentity> MediumIdentityOf(const std::string& root) override;

private:
    class Device;

    struct Drive {
        DriveType type = DriveType::Unknown;
        bool medium = false;
        std::string label;
        ClusterGeometry geometry;
        bool failLabel = false;
        bool failGeometry = false;
        bool failExtents = false;
        bool failIdentity = false;
    };

    Drive& Existing(char letter);
    const Drive* Find(char letter) const;
    // The drive of a "X:\" root; nothing for any other text or a drive that does not exist.
    const Drive* DriveOfRoot(const std::string& root) const;
    std::filesystem::path FolderOf(const char* place, char letter) const;
    void MoveFolder(const std::filesystem::path& from, const std::filesystem::path& to);
    void MoveMedium(char letter, bool in);
    bool HasExtents(char letter) const;
    void DeviceClosed() { ++closedDevices_; }

    std::filesystem::path root_;
    std::shared_ptr<FakeVolumes*> self_;  // what devices hold to reach the volumes
    std::map<char, Drive> drives_;        // by upper-case letter
    // The serial number of the medium each drive's folder holds and the disk that holds it: they
    // stay with the folder, and a drive plugged in afresh is another disk.
    struct MediumIds {
        std::uint32_t serial = 0;
        std::uint32_t disk = 0;
    };
    std::map<char, MediumIds> media_;
    std::uint32_t nextId_ = 0x1000;
    bool failEnumeration_ = false;
    bool formatClosesUnused_ = false;
    int devicesHandedOut_ = 0;
    int closedDevices_ = 0;
};

}  // namespace vocell::test
