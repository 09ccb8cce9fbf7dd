#include "platform/linux/drives/RemovableVolumes.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <string_view>

#include "platform/linux/drives/FileSystemProbe.h"
#include "platform/linux/drives/LinuxHandles.h"
#include "platform/linux/drives/VolumeIdentity.h"

namespace vocell::linux_drives {
namespace {

std::string Text(const char* value) { return value != nullptr ? value : ""; }

std::string Property(udev_device* device, const char* name) {
    return Text(udev_device_get_property_value(device, name));
}

std::string Attribute(udev_device* device, const char* name) {
    std::string value = Text(udev_device_get_sysattr_value(device, name));
    while (!value.empty() && (value.back() == '\n' || value.back() == ' ')) value.pop_back();
    return value;
}

bool IsOpticalOrFloppy(udev_device* disk) {
    const std::string type = Property(disk, "ID_TYPE");
    const std::string name = Text(udev_device_get_sysname(disk));
    return Property(disk, "ID_CDROM") == "1" || type == "cd" || type == "floppy" || name.starts_with("sr") ||
           name.starts_with("fd");
}

// An SD card in a slot of the machine's own MMC host: the kernel marks the disk as fixed, yet
// the card comes and goes. An eMMC chip soldered to the board is of type "MMC" and stays out.
bool IsSdCard(udev_device* disk) {
    udev_device* card = udev_device_get_parent_with_subsystem_devtype(disk, "mmc", nullptr);
    return card != nullptr && Attribute(card, "type") == "SD";
}

bool IsRemovableDisk(udev_device* disk) {
    if (IsOpticalOrFloppy(disk)) return false;
    return Attribute(disk, "removable") == "1" || IsSdCard(disk);
}

bool HasMedium(udev_device* disk) {
    const std::string size = Attribute(disk, "size");
    return !size.empty() && std::strtoull(size.c_str(), nullptr, 10) > 0;
}

constexpr int kHexBase = 16;
constexpr std::size_t kHexEscapeLength = 4;  // "\x20"

// udev writes the characters of a value that are unsafe in its _ENC properties as "\x20".
std::string DecodedUdevString(const std::string& encoded) {
    std::string decoded;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        const bool escape = encoded.compare(i, 2, "\\x") == 0 && i + kHexEscapeLength <= encoded.size() &&
                            std::isxdigit(static_cast<unsigned char>(encoded[i + 2])) != 0 &&
                            std::isxdigit(static_cast<unsigned char>(encoded[i + 3])) != 0;
        if (escape) {
            decoded += static_cast<char>(std::stoi(encoded.substr(i + 2, 2), nullptr, kHexBase));
            i += kHexEscapeLength - 1;
        } else {
            decoded += encoded[i];
        }
    }
    return decoded;
}

// A property as the file system stores it: ID_FS_LABEL replaces a label's spaces with "_",
// ID_FS_LABEL_ENC keeps them.
std::string StoredProperty(udev_device* device, const std::string& name) {
    const std::string encoded = Property(device, (name + "_ENC").c_str());
    return encoded.empty() ? Property(device, name.c_str()) : DecodedUdevString(encoded);
}

// The file system on a volume as udev found it or, where udev had not probed the medium (or was not
// allowed to), as a probe of the device itself finds it now.
ProbedFileSystem FileSystemOf(udev_device* volume, const std::string& devNode) {
    const std::string type = Property(volume, "ID_FS_TYPE");
    if (!type.empty())
        return {type, StoredProperty(volume, "ID_FS_UUID"), StoredProperty(volume, "ID_FS_LABEL")};
    return ProbeFileSystemAt(devNode).value_or(ProbedFileSystem{});
}

// The serial numbers the reader goes by, in udev's words; a disk service names it by one of them.
std::vector<std::string> SerialsOf(udev_device* disk) {
    std::vector<std::string> serials;
    for (const char* name : {"ID_SERIAL", "ID_SERIAL_SHORT", "ID_SCSI_SERIAL"}) {
        const std::string serial = Property(disk, name);
        if (!serial.empty() && std::find(serials.begin(), serials.end(), serial) == serials.end()) {
            serials.push_back(serial);
        }
    }
    return serials;
}

// The container of an MBR's logical partitions holds no volume of its own.
bool IsExtendedPartition(udev_device* partition) {
    const std::string type = Property(partition, "ID_PART_ENTRY_TYPE");
    return type == "0x5" || type == "0xf" || type == "0x85";
}

constexpr std::uint64_t kSectorBytes = 512;

std::uint64_t SizeOf(udev_device* device) {
    const std::string sectors = Attribute(device, "size");
    return sectors.empty() ? 0 : std::strtoull(sectors.c_str(), nullptr, 10) * kSectorBytes;
}

struct Disk {
    UdevDevicePtr device;
    std::vector<UdevDevicePtr> partitions;
};

// Where the volume's whole file system is mounted: a bind mount of one of its folders (card/VM
// mounted elsewhere) is no root of the card, wherever it comes in the table.
std::string MountPointOf(dev_t device, const std::vector<MountEntry>& mounts) {
    for (const MountEntry& mount : mounts) {
        if (mount.Mounts(device) && mount.MountsWholeFileSystem()) return mount.target;
    }
    return {};
}

// The disk, a partition of it, or anything stacked on either (LUKS, LVM, md) is the system's.
bool UsedBySystem(udev* context, const Disk& disk, const SystemUse& use) {
    if (UsedBySystem(context, disk.device.get(), use)) return true;
    return std::any_of(disk.partitions.begin(), disk.partitions.end(), [&](const UdevDevicePtr& partition) {
        return UsedBySystem(context, partition.get(), use);
    });
}

RemovableVolume VolumeOf(udev_device* disk, udev_device* volume, bool hasMedium,
                         const std::vector<MountEntry>& mounts) {
    RemovableVolume result;
    result.devNode = Text(udev_device_get_devnode(volume));
    result.diskNode = Text(udev_device_get_devnode(disk));
    result.device = udev_device_get_devnum(volume);
    result.hasMedium = hasMedium;
    if (hasMedium) {
        ProbedFileSystem fileSystem = FileSystemOf(volume, result.devNode);
        result.mountPoint = MountPointOf(result.device, mounts);
        result.label = std::move(fileSystem.label);
        result.uuid = std::move(fileSystem.uuid);
        result.fsType = std::move(fileSystem.type);
        result.sizeBytes = SizeOf(volume);
    }
    result.readerName = ReaderNameOf(disk);
    result.readerSerials = SerialsOf(disk);
    if (volume != disk) result.partition = Attribute(volume, "partition");
    result.bus = Property(disk, "ID_BUS");
    if (result.bus.empty() && IsSdCard(disk)) result.bus = "mmc";
    return result;
}

std::vector<RemovableVolume> VolumesOfDisk(const Disk& disk, const std::vector<MountEntry>& mounts) {
    std::vector<RemovableVolume> volumes;
    udev_device* device = disk.device.get();
    const bool medium = HasMedium(device);
    if (medium) {
        // Every partition is a volume, one with no file system yet too (Initialize formats it).
        for (const UdevDevicePtr& partition : disk.partitions) {
            if (!IsExtendedPartition(partition.get())) {
                volumes.push_back(VolumeOf(device, partition.get(), true, mounts));
            }
        }
    }
    // A reader without a card, or a card without a partition table: the disk itself is the volume.
    if (volumes.empty()) volumes.push_back(VolumeOf(device, device, medium, mounts));
    const std::string readerKey = Text(udev_device_get_syspath(device));
    for (std::size_t i = 0; i < volumes.size(); ++i) {
        volumes[i].key = i == 0 ? readerKey : readerKey + "#" + std::to_string(i);
    }
    return volumes;
}

}  // namespace

std::vector<RemovableVolume> ScanRemovableVolumes(udev* context, const SystemUse& use) {
    std::vector<RemovableVolume> result;
    if (context == nullptr) return result;
    UdevEnumeratePtr enumerate(udev_enumerate_new(context));
    if (!enumerate) return result;
    udev_enumerate_add_match_subsystem(enumerate.get(), "block");
    if (udev_enumerate_scan_devices(enumerate.get()) < 0) return result;

    std::map<std::string, Disk> disks;  // by sysfs path, so in a stable order
    std::vector<UdevDevicePtr> partitions;
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate.get())) {
        UdevDevicePtr device(udev_device_new_from_syspath(context, udev_list_entry_get_name(entry)));
        if (!device) continue;
        const std::string type = Text(udev_device_get_devtype(device.get()));
        if (type == "disk") {
            const std::string path = Text(udev_device_get_syspath(device.get()));
            disks[path].device = std::move(device);
        } else if (type == "partition") {
            partitions.push_back(std::move(device));
        }
    }
    for (UdevDevicePtr& partition : partitions) {
        udev_device* parent = udev_device_get_parent_with_subsystem_devtype(partition.get(), "block", "disk");
        if (parent == nullptr) continue;
        auto disk = disks.find(Text(udev_device_get_syspath(parent)));
        if (disk != disks.end()) disk->second.partitions.push_back(std::move(partition));
    }
    for (auto& [path, disk] : disks) {
        if (!disk.device || !IsRemovableDisk(disk.device.get()) || UsedBySystem(context, disk, use)) continue;
        std::sort(disk.partitions.begin(), disk.partitions.end(), [](const auto& a, const auto& b) {
            return udev_device_get_devnum(a.get()) < udev_device_get_devnum(b.get());
        });
        for (RemovableVolume& volume : VolumesOfDisk(disk, use.mounts)) result.push_back(std::move(volume));
    }
    return result;
}

}  // namespace vocell::linux_drives
