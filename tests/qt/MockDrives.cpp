#include "tests/qt/MockDrives.h"

#include <gtest/gtest.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace vocell::test {
namespace {

// What a card reader's device node reads as while it holds a card: a few bytes are enough to
// give it a length.
const std::string kMediumBytes(64, '0');

// udev's two spellings of a label: ID_FS_LABEL with unsafe characters replaced, ID_FS_LABEL_ENC
// with them escaped.
std::string SafeSpelling(std::string text) {
    std::replace(text.begin(), text.end(), ' ', '_');
    return text;
}
std::string EncodedSpelling(const std::string& text) {
    std::string encoded;
    for (char c : text) encoded += c == ' ' ? std::string("\\x20") : std::string(1, c);
    return encoded;
}

// The lines every block device of a description has; a node without medium has no length.
std::string Node(const std::string& path, const std::string& name, bool medium, int major, int minor,
                 const char* type) {
    return "P: " + path + "\nN: " + name + (medium ? "=" + kMediumBytes : "") + "\nE: DEVNAME=/dev/" + name +
           "\nE: DEVTYPE=" + type + "\nE: SUBSYSTEM=block\nE: MAJOR=" + std::to_string(major) +
           "\nE: MINOR=" + std::to_string(minor) + "\nA: dev=" + std::to_string(major) + ":" +
           std::to_string(minor) + "\n";
}

std::string Property(const char* name, const std::string& value) {
    return value.empty() ? std::string() : "E: " + std::string(name) + "=" + value + "\n";
}

int PartitionSectors(const MockDisk& disk, const MockPartition& partition, std::size_t count) {
    if (partition.sectors > 0) return partition.sectors;
    return (disk.sectors - kSectorsBeforeFirstPartition) / static_cast<int>(count);
}

}  // namespace

std::vector<std::string> OfferedLabels(linux_drives::LinuxVolumes& volumes) {
    volumes.Rescan();
    std::vector<std::string> labels;
    for (char letter = linux_drives::kFirstRemovableLetter; letter <= linux_drives::kLastRemovableLetter;
         ++letter) {
        if (auto volume = volumes.VolumeOfLetter(letter)) labels.push_back(volume->label);
    }
    return labels;
}

MockDrives::MockDrives() : testbed_(umockdev_testbed_new()), root_(umockdev_testbed_get_root_dir(testbed_)) {
    std::filesystem::create_directories(root_ / "proc" / "self");
    mounts_.emplace_back("/", "1 0 254:1 / / rw,relatime - ext4 /dev/vda1 rw");
    WriteMountTable();
}

MockDrives::~MockDrives() { g_object_unref(testbed_); }

std::string MockDrives::SysPath(const MockDisk& disk) {
    return "/sys/devices/mock/" + disk.name + "-reader/block/" + disk.name;
}

std::string MockDrives::SysPath(const MockDisk& disk, int partition) {
    return SysPath(disk) + "/" + disk.name + std::to_string(partition);
}

std::string MockDrives::Number(const MockDisk& disk, int partition) {
    return std::to_string(disk.major) + ":" + std::to_string(disk.minor + partition);
}

dev_t MockDrives::DeviceNumber(const MockDisk& disk, int partition) {
    return makedev(static_cast<unsigned>(disk.major), static_cast<unsigned>(disk.minor + partition));
}

std::uint64_t MockDrives::PartitionBytes(const MockDisk& disk, const MockPartition& partition,
                                         std::size_t count) {
    return static_cast<std::uint64_t>(PartitionSectors(disk, partition, count)) * kSectorBytes;
}

std::filesystem::path MockDrives::NodeFile(const std::string& name) const { return root_ / "dev" / name; }

void MockDrives::LayFatFileSystem(const std::string& name, std::uint64_t bytes, const std::string& serial,
                                  const std::string& label) const {
    const auto node = NodeFile(name);
    std::filesystem::resize_file(node, 0);
    std::filesystem::resize_file(node, bytes);
    const std::string command =
        "mkfs.fat -F 16 -i " + serial + " -n '" + label + "' '" + node.string() + "' >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

void MockDrives::AddDevices(const std::string& description) {
    GError* error = nullptr;
    ASSERT_TRUE(umockdev_testbed_add_from_string(testbed_, description.c_str(), &error))
        << (error != nullptr ? error->message : "");
}

void MockDrives::Plug(const MockDisk& disk, const std::vector<MockPartition>& partitions) {
    const std::string path = SysPath(disk).substr(std::string("/sys").size());
    AddDevices(Node(path, disk.name, disk.sectors > 0, disk.major, disk.minor, "disk") +
               Property("ID_BUS", disk.bus) + Property("ID_SERIAL", disk.serial) +
               Property("ID_SERIAL_SHORT", disk.serialShort) + "A: removable=" +
               (disk.removable ? "1" : "0") + "\nA: size=" + std::to_string(disk.sectors) + "\n");
    AddPartitions(disk, partitions);
    umockdev_testbed_uevent(testbed_, SysPath(disk).c_str(), "add");
}

void MockDrives::AddPartitions(const MockDisk& disk, const std::vector<MockPartition>& partitions) {
    const std::string diskPath = SysPath(disk).substr(std::string("/sys").size());
    for (int number = 1; number <= static_cast<int>(partitions.size()); ++number) {
        const MockPartition& partition = partitions[static_cast<std::size_t>(number - 1)];
        const std::string name = disk.name + std::to_string(number);
        std::string description =
            // NOLINTNEXTLINE(performance-inefficient-string-concatenation): a few partitions, in a test
            Node(diskPath + "/" + name, name, true, disk.major, disk.minor + number, "partition");
        if (partition.probedByUdev && !partition.fsType.empty()) {
            description += Property("ID_FS_TYPE", partition.fsType) +
                           Property("ID_FS_LABEL", SafeSpelling(partition.label)) +
                           Property("ID_FS_LABEL_ENC", EncodedSpelling(partition.label)) +
                           Property("ID_FS_UUID", partition.uuid) +
                           Property("ID_FS_UUID_ENC", partition.uuid);
        }
        description +=
            Property("ID_PART_ENTRY_TYPE", partition.entryType) + "A: partition=" + std::to_string(number) +
            "\nA: size=" + std::to_string(PartitionSectors(disk, partition, partitions.size())) + "\n";
        AddDevices(description);
        if (!partition.mountPoint.empty()) {
            Mount(Number(disk, number), "/", partition.mountPoint, "/dev/" + name, partition.fsType);
        }
        umockdev_testbed_uevent(testbed_, SysPath(disk, number).c_str(), "add");
    }
}

void MockDrives::RemovePartitions(const MockDisk& disk, int partitions) {
    for (int i = partitions; i >= 1; --i) {
        const std::string path = SysPath(disk, i);
        umockdev_testbed_uevent(testbed_, path.c_str(), "remove");
        RemoveDevice(path);
        const std::string device = Number(disk, i);
        std::erase_if(mounts_, [&](const auto& mount) {
            return mount.second.find(" " + device + " ") != std::string::npos;
        });
    }
    WriteMountTable();
}

void MockDrives::Unplug(const MockDisk& disk, int partitions) {
    RemovePartitions(disk, partitions);
    umockdev_testbed_uevent(testbed_, SysPath(disk).c_str(), "remove");
    RemoveDevice(SysPath(disk));
}

// The testbed leaves the device's link in /sys/block behind, which would keep a device of the
// same name from coming back.
void MockDrives::RemoveDevice(const std::string& sysPath) {
    umockdev_testbed_remove_device(testbed_, sysPath.c_str());
    std::filesystem::remove(root_ / "sys" / "block" / std::filesystem::path(sysPath).filename());
}

void MockDrives::Eject(const MockDisk& disk, int partitions) {
    RemovePartitions(disk, partitions);
    umockdev_testbed_set_attribute(testbed_, SysPath(disk).c_str(), "size", "0");
    std::filesystem::resize_file(NodeFile(disk.name), 0);
    umockdev_testbed_uevent(testbed_, SysPath(disk).c_str(), "change");
}

void MockDrives::Insert(const MockDisk& disk, const std::vector<MockPartition>& partitions) {
    umockdev_testbed_set_attribute(testbed_, SysPath(disk).c_str(), "size",
                                   std::to_string(disk.sectors).c_str());
    std::ofstream(NodeFile(disk.name), std::ios::binary) << kMediumBytes;
    AddPartitions(disk, partitions);
    umockdev_testbed_uevent(testbed_, SysPath(disk).c_str(), "change");
}

void MockDrives::Mount(const std::string& device, const std::string& root, const std::string& target,
                       const std::string& source, const std::string& fsType) {
    mounts_.emplace_back(target, std::to_string(nextMountId_++) + " 1 " + device + " " + root + " " + target +
                                     " rw,relatime - " + (fsType.empty() ? "vfat" : fsType) + " " + source +
                                     " rw");
    WriteMountTable();
}

void MockDrives::Unmount(const std::string& target) {
    std::erase_if(mounts_, [&](const auto& mount) { return mount.first == target; });
    WriteMountTable();
}

void MockDrives::SetSwaps(const std::vector<std::pair<std::string, std::string>>& swaps) {
    std::ofstream table(root_ / "proc" / "swaps");
    table << "Filename\t\t\t\tType\t\tSize\t\tUsed\t\tPriority\n";
    for (const auto& [file, type] : swaps) table << file << "\t\t" << type << "\t\t1048572\t\t0\t\t-2\n";
}

void MockDrives::Stack(const std::string& lowerSysPath, const std::string& name, int major, int minor) {
    AddDevices(Node("/devices/virtual/block/" + name, name, true, major, minor, "disk") + "A: size=1000\n");
    const std::filesystem::path holders = root_ / lowerSysPath.substr(1) / "holders";
    std::filesystem::create_directories(holders);
    std::filesystem::create_directory_symlink(root_ / "sys" / "devices" / "virtual" / "block" / name,
                                              holders / name);
}

void MockDrives::WriteMountTable() const {
    std::ofstream table(root_ / "proc" / "self" / "mountinfo");
    for (const auto& mount : mounts_) table << mount.second << "\n";
}

}  // namespace vocell::test
