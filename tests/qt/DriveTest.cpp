// The machine's removable drives under umockdev: mock card readers and disks, the mount table
// beside them, and uevents for plugging and unplugging, seen through the main dialog.

// GLib and umockdev before Qt: Qt's keyword macros would otherwise rewrite their declarations.
#include "tests/qt/MockDrives.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/UtilityDialog.h"
#include "common/Messages.h"
#include "platform/linux/drives/DeviceMonitor.h"
#include "platform/linux/drives/LinuxVolumes.h"
#include "platform/linux/files/HostDrives.h"
#include "qt/program/DeviceWatcher.h"
#include "tests/qt/GuiTestSupport.h"
#include "tests/support/ScriptedDesktop.h"

namespace vocell::test {
namespace {

class DriveTest : public ::testing::Test {
protected:
    ~DriveTest() override { dialog_.reset(); }

    void Plug(const MockDisk& disk, const std::vector<MockPartition>& partitions = {}) {
        machine_.Plug(disk, partitions);
    }
    void Unplug(const MockDisk& disk, int partitions) { machine_.Unplug(disk, partitions); }

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

    // Lets the event loop run until done() or two seconds have passed.
    static bool WaitFor(const std::function<bool()>& done) {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < 2000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    }

    MockDrives machine_;
    TestInstallation install_;
    posix::HostDrives drives_{std::filesystem::path()};
    ScriptedDesktop desktop_;
    std::unique_ptr<linux_drives::LinuxVolumes> volumes_;
    std::unique_ptr<UtilityDialog> dialog_;
};

const MockDisk kReader{"sdb", 8, 16};
const MockDisk kSecondReader{"sdc", 8, 32};

TEST_F(DriveTest, ReaderWithACardIsOfferedByItsLabelAndLetterAndSelected) {
    Plug(kReader, {{"VMCARD", CardFolder("VMCARD")}});
    Start();
    Select(0);
    EXPECT_EQ(desktop_.chooserEntries(), std::vector<std::string>{"VMCARD (D:)"});
    EXPECT_EQ(fields().statusText, text::kReady);
    EXPECT_EQ(fields().deviceText, "VMCARD (D:)");
    // Read through the drive map from the card's mount point.
    EXPECT_EQ(fields().promptVersionText, "1.31");
    EXPECT_TRUE(desktop_.messages().empty());
}

TEST_F(DriveTest, ReaderWithoutACardAnswersNoMedium) {
    Plug({"sdb", 8, 16, true, 0});
    Start();
    Select(0);
    EXPECT_EQ(desktop_.chooserEntries(), std::vector<std::string>{"Removable Disk (D:)"});
    EXPECT_EQ(desktop_.messages(), std::vector<std::string>{std::string(text::kNoMediaPresent)});
    EXPECT_EQ(fields().statusText, text::kCardNotSelected);
    EXPECT_EQ(volumes_->OpenRootForReading("D:\\").error, FsError::NotReady);
}

TEST_F(DriveTest, TwoReadersKeepTheirLettersWhileTheyStay) {
    Plug(kReader, {{"VMCARD", CardFolder("VMCARD")}});
    Plug(kSecondReader, {{"SECOND", CardFolder("SECOND")}});
    Start();
    Select(1);
    EXPECT_EQ(desktop_.chooserEntries(), (std::vector<std::string>{"VMCARD (D:)", "SECOND (E:)"}));
    EXPECT_EQ(fields().deviceText, "SECOND (E:)");

    Unplug(kReader, 1);
    EXPECT_EQ(volumes_->LogicalDrives(), 1u << ('E' - 'A'));
    // A reader plugged in now takes the first free letter; the second card keeps E:.
    Plug({"sdd", 8, 48}, {{"THIRD", CardFolder("THIRD")}});
    EXPECT_EQ(volumes_->LogicalDrives(), (1u << ('D' - 'A')) | (1u << ('E' - 'A')));
    EXPECT_EQ(volumes_->VolumeOfLetter('D')->label, "THIRD");
    EXPECT_EQ(volumes_->VolumeOfLetter('E')->label, "SECOND");
}

TEST_F(DriveTest, UnplugDuringTheChooserLeavesNoCardSelected) {
    Plug(kReader, {{"VMCARD", CardFolder("VMCARD")}});
    Start();
    linux_drives::DeviceMonitor monitor;
    ASSERT_GE(monitor.udevFd(), 0);
    std::vector<devices::DeviceEvent> events;
    qt::DeviceWatcher watcher(monitor, *volumes_, [&](devices::DeviceEvent event) {
        events.push_back(event);
        dialog_->OnDeviceChange(event);
    });
    desktop_.DuringNextModal([&] {
        Unplug(kReader, 1);
        EXPECT_TRUE(WaitFor([&] { return !events.empty(); }));
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
    machine_.Mount(MockDrives::Number(kReader, 1), "/VM", boundFolder, "/dev/sdb1");
    Plug(kReader, {{"VMCARD", card}});
    Start();
    Select(0);
    EXPECT_EQ(volumes_->VolumeOfLetter('D')->mountPoint, card);
    EXPECT_EQ(drives_.HostPathOf("D:\\VM\\PROMPTS"), std::filesystem::path(card) / "VM" / "PROMPTS");
    EXPECT_EQ(fields().promptVersionText, "1.31");
}

// Neither a USB hard disk that reports itself fixed, nor an internal disk mounted under /media,
// nor a removable disk that holds the running system.
TEST_F(DriveTest, DisksThatAreNoCardsAreNeverOffered) {
    Plug({"sda", 8, 0, false, 2'000'000, "ata"}, {{"DATA", "/media/tech/DATA"}});
    Plug({"sdb", 8, 16, false, 2'000'000, "usb"}, {{"BACKUPS", CardFolder("BACKUPS")}});
    Plug({"sdc", 8, 32, true, 2'000'000, "usb"}, {{"LIVE", "/"}});
    Start();
    Select(0);
    EXPECT_EQ(desktop_.chooserEntries(), std::vector<std::string>{"None"});
    EXPECT_EQ(volumes_->LogicalDrives(), 0u);
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
