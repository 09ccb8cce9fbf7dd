#pragma once
// Card readers and disks under umockdev for the drive and format tests: mock block devices with
// udev's properties and the kernel's attributes, the mount table and the active swaps beside them,
// devices stacked on others (device-mapper, LUKS, md), and uevents for plugging and unplugging.

// GLib and umockdev before Qt: Qt's keyword macros would otherwise rewrite their declarations.
#include <umockdev.h>

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/linux/drives/LinuxVolumes.h"

namespace vocell::test {

inline constexpr int kSectorsOf128MB = 250'000;
inline constexpr std::uint64_t kSectorBytes = 512;
// A partition table's first MiB, before the first partition.
inline constexpr int kSectorsBeforeFirstPartition = 2048;

struct MockDisk {
    std::string name;  // "sdb"
    int major = 8;
    int minor = 16;
    bool removable = true;
    int sectors = kSectorsOf128MB;  // 0: a reader without a card
    std::string bus = "usb";
    std::string serial{};       // udev's ID_SERIAL of the reader; empty for none
    std::string serialShort{};  // udev's ID_SERIAL_SHORT
};

struct MockPartition {
    std::string label{};
    std::string mountPoint{};  // empty: not mounted
    std::string uuid = "1A2B-3C4D";
    std::string fsType = "vfat";  // empty: no file system
    bool probedByUdev = true;     // false: udev holds no ID_FS_ properties for it
    std::string entryType{};      // ID_PART_ENTRY_TYPE ("0x5" for an extended partition)
    int sectors = 0;              // 0: the disk's sectors after the first MiB, shared alike
};

// A card reader that names itself, as most do, and the card usually in it.
inline const MockDisk kCardReader{
    "sdb", 8, 16, true, kSectorsOf128MB, "usb", "Generic_Card_Reader_R0001-0:0", "R0001"};
inline const MockPartition kCard{"VMCARD", "/media/tech/VMCARD", "1A2B-3C4D"};

// The labels of the volumes a rescan offers, by letter from D: on.
std::vector<std::string> OfferedLabels(linux_drives::LinuxVolumes& volumes);

class MockDrives {
public:
    // A testbed whose mount table holds the running system's root on a virtual disk.
    MockDrives();
    ~MockDrives();
    MockDrives(const MockDrives&) = delete;
    MockDrives& operator=(const MockDrives&) = delete;

    // Plugs in a disk with its partitions; those with a mount point are mounted there whole.
    void Plug(const MockDisk& disk, const std::vector<MockPartition>& partitions = {});
    void Unplug(const MockDisk& disk, int partitions);
    // Takes the card out of a reader that stays plugged in, and puts one in.
    void Eject(const MockDisk& disk, int partitions);
    void Insert(const MockDisk& disk, const std::vector<MockPartition>& partitions);

    // Adds a line to the mount table: "8:17" mounted from its folder root at target.
    void Mount(const std::string& device, const std::string& root, const std::string& target,
               const std::string& source, const std::string& fsType = "vfat");
    void Unmount(const std::string& target);
    // The active swaps of /proc/swaps: each a file name and "partition" or "file".
    void SetSwaps(const std::vector<std::pair<std::string, std::string>>& swaps);
    // A block device (a device-mapper target, an md array) stacked on the device at lowerSysPath:
    // it appears in the lower one's holders/.
    void Stack(const std::string& lowerSysPath, const std::string& name, int major, int minor);

    // Lays a FAT16 file system with the serial ("1A2B3C4D") and label on /dev/NAME, bytes long, the
    // way mkfs.fat makes a card.
    void LayFatFileSystem(const std::string& name, std::uint64_t bytes, const std::string& serial,
                          const std::string& label) const;

    // The file that the testbed reads for /dev/NAME.
    [[nodiscard]] std::filesystem::path NodeFile(const std::string& name) const;
    [[nodiscard]] static std::string SysPath(const MockDisk& disk);
    [[nodiscard]] static std::string SysPath(const MockDisk& disk, int partition);
    // "8:17" for partition 1 of sdb.
    [[nodiscard]] static std::string Number(const MockDisk& disk, int partition = 0);
    // The device number, as the kernel and UDisks2 give it.
    [[nodiscard]] static dev_t DeviceNumber(const MockDisk& disk, int partition = 0);
    // The size of a partition, one of count on the disk.
    [[nodiscard]] static std::uint64_t PartitionBytes(const MockDisk& disk, const MockPartition& partition,
                                                      std::size_t count);

private:
    void AddDevices(const std::string& description);
    void AddPartitions(const MockDisk& disk, const std::vector<MockPartition>& partitions);
    void RemovePartitions(const MockDisk& disk, int partitions);
    void RemoveDevice(const std::string& sysPath);
    void WriteMountTable() const;

    UMockdevTestbed* testbed_;
    std::filesystem::path root_;
    std::vector<std::pair<std::string, std::string>> mounts_;  // target, line
    int nextMountId_ = 40;
};

}  // namespace vocell::test
