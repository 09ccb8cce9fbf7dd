// Removable disks that the running system uses are never offered, under umockdev: a disk with a
// volume mounted anywhere but under the removable-media folders, one whose LUKS or LVM volume holds
// the system's root or home, and one that holds active swap. A card in its reader beside them is.

#include "tests/qt/MockDrives.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/linux/drives/LinuxVolumes.h"

namespace vocell::test {
namespace {

const MockDisk kCardReader{"sdb", 8, 16};
const MockPartition kCard{"VMCARD", "/media/tech/VMCARD"};
constexpr int kDeviceMapperMajor = 254;

class SystemDiskTest : public ::testing::Test {
protected:
    // The labels of the volumes offered, by letter from D: on.
    std::vector<std::string> OfferedLabels() {
        linux_drives::LinuxVolumes volumes;
        volumes.Rescan();
        std::vector<std::string> labels;
        for (char letter = linux_drives::kFirstRemovableLetter; letter <= linux_drives::kLastRemovableLetter;
             ++letter) {
            if (auto volume = volumes.VolumeOfLetter(letter)) labels.push_back(volume->label);
        }
        return labels;
    }

    MockDrives machine_;
};

TEST_F(SystemDiskTest, DiskMountedOutsideTheRemovableMediaFoldersIsNeverOffered) {
    machine_.Plug(kCardReader, {kCard});
    const std::vector<std::string> elsewhere{"/home/tech", "/run/live/medium", "/cdrom", "/srv", "/opt"};
    for (std::size_t i = 0; i < elsewhere.size(); ++i) {
        const int minor = 32 + 16 * static_cast<int>(i);
        machine_.Plug({"sd" + std::string(1, static_cast<char>('c' + i)), 8, minor},
                      {{"STICK" + std::to_string(i), elsewhere[i]}});
    }
    // Where desktops and technicians mount removable media, a disk is offered.
    machine_.Plug({"sdh", 8, 112}, {{"RUNMEDIA", "/run/media/tech/RUNMEDIA"}});
    machine_.Plug({"sdi", 8, 128}, {{"BYHAND", "/mnt"}});
    EXPECT_EQ(OfferedLabels(), (std::vector<std::string>{"VMCARD", "RUNMEDIA", "BYHAND"}));
}

// One volume mounted elsewhere, even a bind mount of a folder, keeps the whole disk out.
TEST_F(SystemDiskTest, DiskWithAnyVolumeMountedElsewhereIsNeverOffered) {
    machine_.Plug(kCardReader, {kCard});
    const MockDisk twoVolumes{"sdc", 8, 32};
    machine_.Plug(twoVolumes, {{"MEDIA", "/media/tech/MEDIA"}, {"SERVED", "/srv/data"}});
    const MockDisk bound{"sdd", 8, 48};
    machine_.Plug(bound, {{"BOUND", "/media/tech/BOUND"}});
    machine_.Mount(MockDrives::Number(bound, 1), "/projects", "/home/tech/projects", "/dev/sdd1");
    EXPECT_EQ(OfferedLabels(), std::vector<std::string>{"VMCARD"});
}

TEST_F(SystemDiskTest, DiskWhoseLuksOrLvmVolumeHoldsTheSystemIsNeverOffered) {
    machine_.Plug(kCardReader, {kCard});
    // A live stick: the root file system on LUKS on its second partition.
    const MockDisk luksRoot{"sdc", 8, 32};
    machine_.Plug(luksRoot, {{"EFI", "/media/tech/EFI"}, MockPartition("", "", "", "crypto_LUKS")});
    machine_.Stack(MockDrives::SysPath(luksRoot, 2), "dm-0", kDeviceMapperMajor, 0);
    machine_.Mount(std::to_string(kDeviceMapperMajor) + ":0", "/", "/", "/dev/mapper/root", "ext4");
    // /home on an LVM volume inside LUKS: two devices stacked on the partition.
    const MockDisk lvmHome{"sdd", 8, 48};
    machine_.Plug(lvmHome, {MockPartition("", "", "", "crypto_LUKS")});
    machine_.Stack(MockDrives::SysPath(lvmHome, 1), "dm-1", kDeviceMapperMajor, 1);
    machine_.Stack("/sys/devices/virtual/block/dm-1", "dm-2", kDeviceMapperMajor, 2);
    machine_.Mount(std::to_string(kDeviceMapperMajor) + ":2", "/", "/home", "/dev/mapper/vg-home", "ext4");
    EXPECT_EQ(OfferedLabels(), std::vector<std::string>{"VMCARD"});
}

TEST_F(SystemDiskTest, DiskHoldingActiveSwapIsNeverOffered) {
    machine_.Plug(kCardReader, {kCard});
    const MockDisk swapPartition{"sdc", 8, 32};
    machine_.Plug(swapPartition, {{"DATA", "/media/tech/DATA"}, MockPartition("", "", "", "swap")});
    const MockDisk encryptedSwap{"sdd", 8, 48};
    machine_.Plug(encryptedSwap, {MockPartition("", "", "", "crypto_LUKS")});
    machine_.Stack(MockDrives::SysPath(encryptedSwap, 1), "dm-3", kDeviceMapperMajor, 3);
    machine_.SetSwaps({{"/dev/sdc2", "partition"}, {"/dev/dm-3", "partition"}});
    EXPECT_EQ(OfferedLabels(), std::vector<std::string>{"VMCARD"});
}

}  // namespace
}  // namespace vocell::test
