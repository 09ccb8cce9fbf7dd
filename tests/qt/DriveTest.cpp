// The machine's removable drives under umockdev (mock card readers and disks, the mount table
// beside them, uevents for plugging and unplugging), seen through the main dialog: which disks are
// offered, their letters, and the identity of the medium in a reader, which stays the same for the
// same card and differs for another.

// GLib and umockdev before Qt: Qt's keyword macros would otherwise rewrite their declarations.
#include "tests/qt/MockDrives.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/UtilityDialog.h"
#include "common/Messages.h"
#include "platform/linux/drives/DeviceMonitor.h"
#include "platform/linux/files/HostDrives.h"
#include "qt/program/DeviceWatcher.h"
#include "tests/qt/GuiTestSupport.h"
#include "tests/support/ScriptedDesktop.h"

namespace vocell::test {
namespace {

const MockDisk kSecondReader{"sdc", 8, 32};
const std::string kRoot = "D:\\";

class DriveTest : public ::testing::Test {
protected:
    ~DriveTest() override { dialog_.reset(); }

    // A card folder holding the sample card, to be a partition's mount point.
    std::string CardFolder(const std::string& name) {
        const auto folder = install_.root() / "media" / name;
        std::filesystem::create_directories(folder.parent_path());
        std::filesystem::copy(install_.card(), folder, std::filesystem::copy_options::recursive);
        return folder.string();
    }

    void Start() {
        // The cards' mount points are folders of the test, where removable media are mounted here.
        volumes_ = std::make_unique<linux_drives::LinuxVolumes>(
            [this](const linux_drives::DriveMounts& mounts) { drives_.MountRemovableDrives(mounts); },
            linux_drives::DriveDiscovery{{install_.root() / "media"}, {}});
        dialog_ = std::make_unique<UtilityDialog>(desktop_, *volumes_, drives_.fileSystem());
        dialog_->OnInitDialog();
    }
    void Select(int entry) {
        desktop_.AnswerChooser(entry);
        dialog_->SelectCard();
    }
    const operations::CardFields& fields() const { return dialog_->cardFields(); }
    std::optional<MediumIdentity> Identity() { return volumes_->MediumIdentityOf(kRoot); }

    MockDrives machine_;
    TestInstallation install_;
    posix::HostDrives drives_{std::filesystem::path()};
    ScriptedDesktop desktop_;
    std::unique_ptr<linux_drives::LinuxVolumes> volumes_;
    std::unique_ptr<UtilityDialog> dialog_;
};

TEST_F(DriveTest, ReaderWithoutACardAnswersNoMedium) {
    machine_.Plug({"sdb", 8, 16, true, 0});
    Start();
    Select(0);
    EXPECT_EQ(desktop_.chooserEntries(), std::vector<std::string>{"Removable Disk (D:)"});
    EXPECT_EQ(desktop_.messages(), std::vector<std::string>{std::string(text::kNoMediaPresent)});
    EXPECT_EQ(fields().statusText, text::kCardNotSelected);
    EXPECT_EQ(volumes_->OpenRootForReading(kRoot).error, FsError::NotReady);
}

TEST_F(DriveTest, TwoReadersKeepTheirLettersWhileTheyStay) {
    machine_.Plug(kCardReader, {{"VMCARD", CardFolder("VMCARD")}});
    machine_.Plug(kSecondReader, {{"SECOND", CardFolder("SECOND")}});
    Start();
    Select(1);
    EXPECT_EQ(desktop_.chooserEntries(), (std::vector<std::string>{"VMCARD (D:)", "SECOND (E:)"}));
    EXPECT_EQ(fields().statusText, text::kReady);
    EXPECT_EQ(fields().deviceText, "SECOND (E:)");

    machine_.Unplug(kCardReader, 1);
    EXPECT_EQ(volumes_->LogicalDrives(), 1u << ('E' - 'A'));
    // A reader plugged in now takes the first free letter; the second card keeps E:.
    machine_.Plug({"sdd", 8, 48}, {{"THIRD", CardFolder("THIRD")}});
    EXPECT_EQ(volumes_->LogicalDrives(), (1u << ('D' - 'A')) | (1u << ('E' - 'A')));
    EXPECT_EQ(volumes_->VolumeOfLetter('D')->label, "THIRD");
    EXPECT_EQ(volumes_->VolumeOfLetter('E')->label, "SECOND");
}

TEST_F(DriveTest, UnplugDuringTheChooserLeavesNoCardSelected) {
    machine_.Plug(kCardReader, {{"VMCARD", CardFolder("VMCARD")}});
    Start();
    linux_drives::DeviceMonitor monitor;
    ASSERT_GE(monitor.udevFd(), 0);
    std::vector<devices::DeviceEvent> events;
    qt::DeviceWatcher watcher(monitor, *volumes_, [&](devices::DeviceEvent event) {
        events.push_back(event);
        dialog_->OnDeviceChange(event);
    });
    desktop_.DuringNextModal([&] {
        machine_.Unplug(kCardReader, 1);
        QElapsedTimer timer;
        timer.start();
        while (events.empty() && timer.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    });
    Select(0);
    EXPECT_EQ(events, std::vector<devices::DeviceEvent>{devices::DeviceEvent::RemoveComplete});
    EXPECT_EQ(desktop_.chooserEntries(), std::vector<std::string>{"VMCARD (D:)"});
    EXPECT_EQ(fields().statusText, text::kCardNotSelected);
    EXPECT_EQ(fields().deviceText, "");
    EXPECT_EQ(dialog_->deviceSlots().slotRoots[0], "");
}

// A bind mount of the card's folder VM that comes first in the mount table is no root of the card:
// the drive maps to the card's own mount, where its prompts are read at VM\PROMPTS.
TEST_F(DriveTest, DriveLetterNamesTheMountOfTheWholeFileSystemNotABindMountOfAFolder) {
    const std::string card = CardFolder("VMCARD");
    const std::string boundFolder = (install_.root() / "media" / "VM-ONLY").string();
    std::filesystem::copy(std::filesystem::path(card) / "VM", boundFolder,
                          std::filesystem::copy_options::recursive);
    machine_.Mount(MockDrives::Number(kCardReader, 1), "/VM", boundFolder, "/dev/sdb1");
    machine_.Plug(kCardReader, {{"VMCARD", card}});
    Start();
    Select(0);
    EXPECT_EQ(volumes_->VolumeOfLetter('D')->mountPoint, card);
    EXPECT_EQ(drives_.HostPathOf("D:\\VM\\PROMPTS"), std::filesystem::path(card) / "VM" / "PROMPTS");
    EXPECT_EQ(fields().promptVersionText, "1.31");
}

// Disks that are no cards, or that the running system uses, are never offered; the card in its
// reader beside each is, and so is a disk where desktops and technicians mount removable media.
TEST(SystemDisks, AreNeverOfferedBesideTheCard) {
    constexpr int kDeviceMapperMajor = 254;
    const MockDisk disk{"sdc", 8, 32};
    const MockDisk other{"sdd", 8, 48};
    const MockPartition luks{"", "", "", "crypto_LUKS"};
    const auto dm = [](int minor) {
        return std::to_string(kDeviceMapperMajor) + ":" + std::to_string(minor);
    };
    const std::vector<std::pair<const char*, std::function<void(MockDrives&)>>> cases{
        {"a USB disk that says it is fixed",
         [](MockDrives& m) {
             m.Plug({"sdc", 8, 32, false, 2'000'000}, {{"BACKUPS", "/media/tech/BACKUPS"}});
         }},
        {"an internal disk mounted under /media",
         [](MockDrives& m) {
             m.Plug({"sdc", 8, 32, false, 2'000'000, "ata"}, {{"DATA", "/media/tech/DATA"}});
         }},
        {"disks mounted outside the removable-media folders",
         [](MockDrives& m) {
             const std::vector<std::string> elsewhere{"/",      "/home/tech", "/run/live/medium",
                                                      "/cdrom", "/srv",       "/opt"};
             for (std::size_t i = 0; i < elsewhere.size(); ++i) {
                 m.Plug({"sd" + std::string(1, static_cast<char>('c' + i)), 8, 32 + 16 * static_cast<int>(i)},
                        {{"STICK" + std::to_string(i), elsewhere[i]}});
             }
         }},
        {"a disk with one volume mounted elsewhere",
         [&](MockDrives& m) {
             m.Plug(disk, {{"MEDIA", "/media/tech/MEDIA"}, {"SERVED", "/srv/data"}});
         }},
        {"a disk with a folder bind-mounted elsewhere",
         [&](MockDrives& m) {
             m.Plug(disk, {{"BOUND", "/media/tech/BOUND"}});
             m.Mount(MockDrives::Number(disk, 1), "/projects", "/home/tech/projects", "/dev/sdc1");
         }},
        {"a live stick with the root on LUKS",
         [&](MockDrives& m) {
             m.Plug(disk, {{"EFI", "/media/tech/EFI"}, luks});
             m.Stack(MockDrives::SysPath(disk, 2), "dm-0", kDeviceMapperMajor, 0);
             m.Mount(dm(0), "/", "/", "/dev/mapper/root", "ext4");
         }},
        {"/home on LVM inside LUKS",
         [&](MockDrives& m) {
             m.Plug(disk, {luks});
             m.Stack(MockDrives::SysPath(disk, 1), "dm-1", kDeviceMapperMajor, 1);
             m.Stack("/sys/devices/virtual/block/dm-1", "dm-2", kDeviceMapperMajor, 2);
             m.Mount(dm(2), "/", "/home", "/dev/mapper/vg-home", "ext4");
         }},
        {"active swap, on a partition and on LUKS",
         [&](MockDrives& m) {
             m.Plug(disk, {{"DATA", "/media/tech/DATA"}, {"", "", "", "swap"}});
             m.Plug(other, {luks});
             m.Stack(MockDrives::SysPath(other, 1), "dm-3", kDeviceMapperMajor, 3);
             m.SetSwaps({{"/dev/sdc2", "partition"}, {"/dev/dm-3", "partition"}});
         }},
    };
    for (const auto& [what, plug] : cases) {
        MockDrives machine;
        machine.Plug(kCardReader, {kCard});
        plug(machine);
        linux_drives::LinuxVolumes volumes;
        EXPECT_EQ(OfferedLabels(volumes), std::vector<std::string>{"VMCARD"}) << what;
    }
    MockDrives machine;
    machine.Plug(kCardReader, {kCard});
    machine.Plug(disk, {{"RUNMEDIA", "/run/media/tech/RUNMEDIA"}});
    machine.Plug(other, {{"BYHAND", "/mnt"}});
    linux_drives::LinuxVolumes volumes;
    EXPECT_EQ(OfferedLabels(volumes), (std::vector<std::string>{"VMCARD", "RUNMEDIA", "BYHAND"}));
}

TEST_F(DriveTest, SameCardStaysTheSameMediumWhenRemountedReinsertedOrItsReaderPluggedInAgain) {
    machine_.Plug(kCardReader, {kCard});
    Start();
    const auto selected = Identity();
    ASSERT_TRUE(selected.has_value());
    EXPECT_EQ(*selected,
              (MediumIdentity{"1A2B-3C4D", "VMCARD", MockDrives::PartitionBytes(kCardReader, kCard, 1),
                              kCardReader.serial + "-part1"}));
    machine_.Unmount(kCard.mountPoint);
    EXPECT_EQ(Identity(), selected) << "unmounted";
    machine_.Mount(MockDrives::Number(kCardReader, 1), "/", "/media/tech/VMCARD1", "/dev/sdb1");
    EXPECT_EQ(Identity(), selected) << "mounted elsewhere";
    machine_.Eject(kCardReader, 1);
    EXPECT_EQ(Identity(), std::nullopt) << "taken out";
    machine_.Insert(kCardReader, {kCard});
    EXPECT_EQ(Identity(), selected) << "put back";
    machine_.Unplug(kCardReader, 1);
    volumes_->Rescan();
    machine_.Plug(kCardReader, {kCard});
    EXPECT_EQ(Identity(), selected) << "reader plugged in again";

    // Another card in the same reader is another medium, even with the same label.
    machine_.Eject(kCardReader, 1);
    machine_.Insert(kCardReader, {{"VMCARD", "/media/tech/VMCARD", "5E6F-7A8B"}});
    ASSERT_TRUE(Identity().has_value());
    EXPECT_NE(*Identity(), *selected);
    EXPECT_EQ(Identity()->volumeSerial, "5E6F-7A8B");
}

// The label is the one the card stores, spaces and all, as the disk service and the file system
// report it too; udev's ID_FS_LABEL has "_" for each space.
TEST_F(DriveTest, LabelIsTheOneTheCardStores) {
    machine_.Plug(kCardReader, {{"VM CARD", "/media/tech/VM CARD"}});
    Start();
    ASSERT_TRUE(Identity().has_value());
    EXPECT_EQ(Identity()->label, "VM CARD");
    EXPECT_EQ(volumes_->VolumeLabel(kRoot), "VM CARD");
}

// Where udev has not probed the card, its file system is read from the device itself at each scan,
// never from libblkid's cache, which still holds the card that was in the reader before.
TEST_F(DriveTest, CardUdevHasNotProbedIsToldApartByItsFileSystem) {
    TempDirectory cache;
    ::setenv("BLKID_FILE", (cache.path() / "blkid.tab").c_str(), 1);  // keeps the machine's own cache out
    MockPartition card = kCard;
    card.probedByUdev = false;
    // The node keeps a time of the day before, as a device node's time does not change with the medium.
    const auto makeFatCard = [&](const std::string& serial) {
        machine_.LayFatFileSystem("sdb1", MockDrives::PartitionBytes(kCardReader, card, 1), serial,
                                  card.label);
        std::filesystem::last_write_time(
            machine_.NodeFile("sdb1"),
            std::filesystem::file_time_type::clock::now() - std::chrono::hours(24));
    };
    machine_.Plug(kCardReader, {card});
    makeFatCard("AAAA0001");
    Start();
    const auto first = Identity();
    machine_.Eject(kCardReader, 1);
    machine_.Insert(kCardReader, {card});
    makeFatCard("BBBB0002");
    const auto second = Identity();
    ::unsetenv("BLKID_FILE");
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->volumeSerial, "AAAA-0001");
    EXPECT_EQ(first->label, "VMCARD");
    EXPECT_EQ(second->volumeSerial, "BBBB-0002");
    EXPECT_NE(*first, *second);
}

TEST_F(DriveTest, CardWithNoFileSystemYetIsAMediumOfItsReaderAndPartitionThatInitializeFormats) {
    const MockPartition blank{"", "", "", ""};
    machine_.Plug(kCardReader, {blank});
    Start();
    ASSERT_TRUE(volumes_->VolumeOfLetter('D').has_value());
    EXPECT_EQ(volumes_->VolumeOfLetter('D')->devNode, "/dev/sdb1");
    const MediumIdentity expected{"", "", MockDrives::PartitionBytes(kCardReader, blank, 1),
                                  kCardReader.serial + "-part1"};
    EXPECT_EQ(Identity(), expected);

    // Select and Initialize: the format dialog is opened for this medium.
    std::optional<MediumIdentity> formatted;
    desktop_.SetFormatter([&](int driveIndex, const MediumIdentity& medium) {
        EXPECT_EQ(driveIndex, 'D' - 'A');
        formatted = medium;
        return FormatOutcome::Refused;  // nothing more is asked of this test's card
    });
    Select(0);
    EXPECT_EQ(desktop_.chooserEntries(), std::vector<std::string>{"Removable Disk (D:)"});
    desktop_.AnswerMessage(MessageAnswer::Yes);
    EXPECT_EQ(dialog_->OnInitializeCard().reason, operations::StopReason::NotFormatted);
    EXPECT_EQ(formatted, expected);
}

}  // namespace
}  // namespace vocell::test

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    if (std::getenv("LD_PRELOAD") == nullptr) {
        std::fprintf(stderr, "Run these tests under umockdev-wrapper.\n");
        return 1;
    }
    return RUN_ALL_TESTS();
}
