// The identity of the medium in a reader, under umockdev: the same card stays the same medium when
// it is unmounted and mounted again, taken out and put back, or its reader plugged in again; another
// card in the same reader is another medium even with the same label; a card with no file system
// yet is still a medium, of its reader and partition, that Initialize can format.

#include "tests/qt/MockDrives.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/UtilityDialog.h"
#include "common/Messages.h"
#include "platform/linux/drives/LinuxVolumes.h"
#include "platform/linux/files/HostDrives.h"
#include "tests/qt/GuiTestSupport.h"
#include "tests/support/ScriptedDesktop.h"

namespace vocell::test {
namespace {

const MockDisk kReader{"sdb", 8, 16, true, kSectorsOf128MB, "usb", "Generic_Card_Reader_R0001-0:0", "R0001"};
const std::string kRoot = "D:\\";

class MediumIdentityTest : public ::testing::Test {
protected:
    std::optional<MediumIdentity> Identity() { return volumes_.MediumIdentityOf(kRoot); }

    // Lays a FAT file system with that serial and label on the partition's device, the way mkfs.fat
    // makes a card. The node keeps a time of the day before, as a device node's time does not change
    // with the medium in it.
    void MakeFatCard(int partition, const MockPartition& volume, const std::string& serial) {
        const std::string name = kReader.name + std::to_string(partition);
        machine_.LayFatFileSystem(name, MockDrives::PartitionBytes(kReader, volume, 1), serial, volume.label);
        std::filesystem::last_write_time(
            machine_.NodeFile(name), std::filesystem::file_time_type::clock::now() - std::chrono::hours(24));
    }

    MockDrives machine_;
    linux_drives::LinuxVolumes volumes_;
};

TEST_F(MediumIdentityTest, SameCardStaysTheSameMediumWhenRemountedReinsertedOrItsReaderPluggedInAgain) {
    const MockPartition card("VMCARD", "/media/tech/VMCARD", "1A2B-3C4D");
    machine_.Plug(kReader, {card});
    const auto selected = Identity();
    ASSERT_TRUE(selected.has_value());
    EXPECT_EQ(*selected, (MediumIdentity{"1A2B-3C4D", "VMCARD", MockDrives::PartitionBytes(kReader, card, 1),
                                         kReader.serial + "-part1"}));

    machine_.Unmount(card.mountPoint);
    EXPECT_EQ(Identity(), selected) << "unmounted";
    machine_.Mount(MockDrives::Number(kReader, 1), "/", "/media/tech/VMCARD1", "/dev/sdb1");
    EXPECT_EQ(Identity(), selected) << "mounted elsewhere";

    machine_.Eject(kReader, 1);
    EXPECT_EQ(Identity(), std::nullopt) << "taken out";
    machine_.Insert(kReader, {card});
    EXPECT_EQ(Identity(), selected) << "put back";

    machine_.Unplug(kReader, 1);
    volumes_.Rescan();
    machine_.Plug(kReader, {card});
    EXPECT_EQ(Identity(), selected) << "reader plugged in again";
}

TEST_F(MediumIdentityTest, AnotherCardInTheSameReaderIsAnotherMediumEvenWithTheSameLabel) {
    machine_.Plug(kReader, {MockPartition("VMCARD", "/media/tech/VMCARD", "1A2B-3C4D")});
    const auto first = Identity();
    machine_.Eject(kReader, 1);
    machine_.Insert(kReader, {MockPartition("VMCARD", "/media/tech/VMCARD", "5E6F-7A8B")});
    const auto second = Identity();
    ASSERT_TRUE(first && second);
    EXPECT_NE(*first, *second);
    EXPECT_EQ(second->volumeSerial, "5E6F-7A8B");
}

// The label is the one the card stores, spaces and all, as the disk service and the file system
// report it too; udev's ID_FS_LABEL has "_" for each space.
TEST_F(MediumIdentityTest, LabelIsTheOneTheCardStores) {
    machine_.Plug(kReader, {MockPartition("VM CARD", "/media/tech/VM CARD")});
    ASSERT_TRUE(Identity().has_value());
    EXPECT_EQ(Identity()->label, "VM CARD");
    EXPECT_EQ(volumes_.VolumeLabel(kRoot), "VM CARD");
}

// Where udev has not probed the card, its file system is read from the device itself at each scan,
// never from libblkid's cache, which still holds the card that was in the reader before.
TEST_F(MediumIdentityTest, CardUdevHasNotProbedIsToldApartByItsFileSystem) {
    TempDirectory cache;
    ::setenv("BLKID_FILE", (cache.path() / "blkid.tab").c_str(), 1);  // keeps the machine's own cache out
    MockPartition card("VMCARD", "/media/tech/VMCARD");
    card.probedByUdev = false;
    machine_.Plug(kReader, {card});
    MakeFatCard(1, card, "AAAA0001");
    const auto first = Identity();
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->volumeSerial, "AAAA-0001");
    EXPECT_EQ(first->label, "VMCARD");

    machine_.Eject(kReader, 1);
    machine_.Insert(kReader, {card});
    MakeFatCard(1, card, "BBBB0002");
    const auto second = Identity();
    ::unsetenv("BLKID_FILE");
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(second->volumeSerial, "BBBB-0002");
    EXPECT_NE(*first, *second);
}

TEST_F(MediumIdentityTest, CardWithNoFileSystemYetIsAMediumOfItsReaderAndPartitionThatInitializeFormats) {
    TestInstallation install;
    const MockPartition blank("", "", "", "");
    machine_.Plug(kReader, {blank});
    const auto volume = [&] {
        volumes_.Rescan();
        return volumes_.VolumeOfLetter('D');
    }();
    ASSERT_TRUE(volume.has_value());
    EXPECT_EQ(volume->devNode, "/dev/sdb1");
    const MediumIdentity expected{"", "", MockDrives::PartitionBytes(kReader, blank, 1),
                                  kReader.serial + "-part1"};
    EXPECT_EQ(Identity(), expected);

    // Select and Initialize: the format dialog is opened for this medium.
    posix::HostDrives drives{std::filesystem::path()};
    ScriptedDesktop desktop;
    std::optional<MediumIdentity> formatted;
    desktop.SetFormatter([&](int driveIndex, const MediumIdentity& medium) {
        EXPECT_EQ(driveIndex, 'D' - 'A');
        formatted = medium;
        return FormatOutcome::Refused;  // nothing more is asked of this test's card
    });
    UtilityDialog dialog(desktop, volumes_, drives.fileSystem());
    dialog.OnInitDialog();
    desktop.AnswerChooser(0);
    dialog.SelectCard();
    EXPECT_EQ(desktop.chooserEntries(), std::vector<std::string>{"Removable Disk (D:)"});
    desktop.AnswerMessage(MessageAnswer::Yes);
    const operations::Outcome outcome = dialog.OnInitializeCard();
    EXPECT_EQ(formatted, expected) << (desktop.messages().empty() ? "" : desktop.messages().back());
    EXPECT_EQ(outcome.reason, operations::StopReason::NotFormatted);
}

}  // namespace
}  // namespace vocell::test
