// The machine's removable drives under umockdev: mock card readers and disks, the mount table
// beside them, and uevents for plugging and unplugging, seen through the main dialog.

// GLib and umockdev before Qt: Qt's keyword macros would otherwise rewrite their declarations.
#include <umockdev.h>

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
#include "platform/linux/DeviceMonitor.h"
#include "platform/linux/LinuxVolumes.h"
#include "platform/posix/HostDrives.h"
#include "platform/qt/program/DeviceWatcher.h"
#include "tests/gui/GuiTestSupport.h"
#include "tests/support/ScriptedDesktop.h"

namespace vocell::test {
namespace {

constexpr int kSectorsOf128MB = 250'000;
// What a card reader's device node reads as while it holds a card: a few bytes are enough to
// give it a length.
const std::string kMediumBytes(64, '0');

struct MockDisk {
    std::string name;  // "sdb"
    int major = 8;
    int minor = 16;
    bool removable = true;
    int sectors = kSectorsOf128MB;
    std::string bus = "usb";
};

struct MockPartition {
    std::string label;
    std::string mountPoint;  // empty: not mounted
};

class DriveTest : public ::testing::Test {
protected:
    DriveTest() : testbed_(umockdev_testbed_new()) {
        root_ = umockdev_testbed_get_root_dir(testbed_);
        std::filesystem::create_directories(std::filesystem::path(root_) / "proc" / "self");
        mounts_ = "1 0 254:1 / / rw,relatime - ext4 /dev/vda1 rw\n";
        WriteMountTable();
    }
    ~DriveTest() override {
        dialog_.reset();
        g_object_unref(testbed_);
    }

    static std::string SysPath(const MockDisk& disk) {
        return "/sys/devices/mock/" + disk.name + "-reader/block/" + disk.name;
    }

    // Plugs in a disk, with one vfat partition per entry of partitions.
    void Plug(const MockDisk& disk, const std::vector<MockPartition>& partitions = {}) {
        const std::string path = "/devices/mock/" + disk.name + "-reader/block/" + disk.name;
        std::string description = Node(path, disk.name, disk.sectors > 0, disk, 0, "disk") +
                                  "E: ID_BUS=" + disk.bus + "\nA: removable=" + (disk.removable ? "1" : "0") +
                                  "\nA: size=" + std::to_string(disk.sectors) + "\n";
        for (int number = 1; number <= static_cast<int>(partitions.size()); ++number) {
            const MockPartition& partition = partitions[static_cast<std::size_t>(number - 1)];
            const std::string name = disk.name + std::to_string(number);
            description += "\n" + Node(path + "/" + name, name, true, disk, number, "partition") +
                           "E: ID_FS_TYPE=vfat\nE: ID_FS_LABEL=" + partition.label +
                           "\nA: partition=" + std::to_string(number) + "\n";
            if (!partition.mountPoint.empty()) {
                mounts_ += std::to_string(40 + disk.minor + number) + " 1 " + Number(disk, number) + " / " +
                           partition.mountPoint + " rw,relatime - vfat /dev/" + name + " rw\n";
            }
        }
        GError* error = nullptr;
        ASSERT_TRUE(umockdev_testbed_add_from_string(testbed_, description.c_str(), &error))
            << (error != nullptr ? error->message : "");
        WriteMountTable();
        umockdev_testbed_uevent(testbed_, SysPath(disk).c_str(), "add");
    }

    void Unplug(const MockDisk& disk, int partitions) {
        for (int i = partitions; i >= 1; --i) {
            const std::string path = SysPath(disk) + "/" + disk.name + std::to_string(i);
            umockdev_testbed_uevent(testbed_, path.c_str(), "remove");
            umockdev_testbed_remove_device(testbed_, path.c_str());
        }
        umockdev_testbed_uevent(testbed_, SysPath(disk).c_str(), "remove");
        umockdev_testbed_remove_device(testbed_, SysPath(disk).c_str());
    }

    // A card folder holding the sample card, to be a partition's mount point.
    std::string CardFolder(const std::string& name) {
        const auto folder = install_.root() / "media" / name;
        std::filesystem::create_directories(folder.parent_path());
        std::filesystem::copy(install_.card(), folder, std::filesystem::copy_options::recursive);
        return folder.string();
    }

    void Start() {
        volumes_ = std::make_unique<linux_drives::LinuxVolumes>(
            [this](const linux_drives::DriveMounts& mounts) { drives_.MountRemovableDrives(mounts); });
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

    UMockdevTestbed* testbed_;
    TestInstallation install_;
    posix::HostDrives drives_{std::filesystem::path()};
    ScriptedDesktop desktop_;
    std::unique_ptr<linux_drives::LinuxVolumes> volumes_;
    std::unique_ptr<UtilityDialog> dialog_;

private:
    static std::string Number(const MockDisk& disk, int partition) {
        return std::to_string(disk.major) + ":" + std::to_string(disk.minor + partition);
    }
    // The lines every block device of a description has; a node without medium has no length.
    static std::string Node(const std::string& path, const std::string& name, bool medium,
                            const MockDisk& disk, int partition, const char* type) {
        return "P: " + path + "\nN: " + name + (medium ? "=" + kMediumBytes : "") + "\nE: DEVNAME=/dev/" +
               name + "\nE: DEVTYPE=" + type +
               "\nE: SUBSYSTEM=block\nE: MAJOR=" + std::to_string(disk.major) +
               "\nE: MINOR=" + std::to_string(disk.minor + partition) +
               "\nA: dev=" + Number(disk, partition) + "\n";
    }
    void WriteMountTable() const {
        std::ofstream(std::filesystem::path(root_) / "proc" / "self" / "mountinfo") << mounts_;
    }

    std::string root_;
    std::string mounts_;
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
