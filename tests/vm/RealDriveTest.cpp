// The desktop program's drives on real USB card readers in the test virtual machine (see
// README.md here): the kernel's own devices, udev events and mount table, readers plugged,
// pulled, emptied and filled through the host, and formatting through a real udisksd.
// Run by jobs/desktop-drives.sh, which lays the card images into the shared folder.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/DialogLayout.h"
#include "app/UtilityDialog.h"
#include "common/Messages.h"
#include "platform/linux/drives/DeviceMonitor.h"
#include "platform/linux/drives/LinuxVolumes.h"
#include "platform/linux/files/HostDrives.h"
#include "qt/FormatDialog.h"
#include "qt/program/DesktopProgram.h"
#include "qt/program/DeviceWatcher.h"
#include "tests/qt/GuiTestSupport.h"
#include "tests/support/ScriptedDesktop.h"

namespace vocell::test {
namespace {

namespace fs = std::filesystem;

// A command's exit status and what it printed.
struct CommandRun {
    int status = -1;
    std::string output;
};

CommandRun RunCommand(const std::string& command) {
    CommandRun run;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) run.output.append(buffer, n);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string SharedFile(const std::string& name) {
    return std::string(std::getenv("VOCELL_VM_SHARE")) + "/" + name;
}

// Lets the event loop run until done() or 30 seconds have passed: the kernel polls a reader
// for its medium every 2 s, and udev takes its time under emulation.
bool WaitFor(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 30'000) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return done();
}

bool HasLabel(const std::string& label) { return fs::exists("/dev/disk/by-label/" + label); }

class RealDriveTest : public ::testing::Test {
protected:
    // Every card is unmounted before its reader is pulled: a card pulled while mounted keeps
    // its dirty bit, and the next test would find it damaged.
    ~RealDriveTest() override {
        dialog_.reset();
        volumes_.reset();
        drives_.MountRemovableDrives({});
        for (const auto& folder : mounted_) {
            const CommandRun unmounted = RunCommand("umount '" + folder + "'");
            EXPECT_EQ(unmounted.status, 0)
                << "the program still holds " << folder << ": " << unmounted.output;
        }
        for (const auto& reader : plugged_) static_cast<void>(RunCommand("vm-host-step unplug " + reader));
    }

    // A reader holding the card image of the shared folder, its file system seen by its label.
    void Plug(const std::string& reader, const std::string& image, const std::string& label,
              const std::string& kind = "removable") {
        const CommandRun plugged =
            RunCommand("vm-host-step plug " + reader + " " + SharedFile(image) + " " + kind);
        ASSERT_EQ(plugged.status, 0) << plugged.output;
        plugged_.push_back(reader);
        ASSERT_TRUE(WaitFor([&] { return HasLabel(label); })) << label << " did not appear";
        static_cast<void>(RunCommand("udevadm settle"));
    }
    void Unplug(const std::string& reader) {
        const CommandRun pulled = RunCommand("vm-host-step unplug " + reader);
        ASSERT_EQ(pulled.status, 0) << pulled.output;
        std::erase(plugged_, reader);
    }
    // Mounted where a desktop mounts it for root.
    std::string Mount(const std::string& label) {
        std::string folder = "/media/root/" + label;
        fs::create_directories(folder);
        const CommandRun mounted = RunCommand("mount -t vfat /dev/disk/by-label/" + label + " " + folder);
        EXPECT_EQ(mounted.status, 0) << mounted.output;
        mounted_.push_back(folder);
        return folder;
    }
    void Unmount(const std::string& folder) {
        EXPECT_EQ(RunCommand("umount " + folder).status, 0);
        std::erase(mounted_, folder);
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

    TestInstallation install_;
    posix::HostDrives drives_{fs::path()};
    ScriptedDesktop desktop_;
    std::unique_ptr<linux_drives::LinuxVolumes> volumes_;
    std::unique_ptr<UtilityDialog> dialog_;
    std::vector<std::string> plugged_;
    std::vector<std::string> mounted_;
};

TEST_F(RealDriveTest, CardInAReaderIsOfferedByItsLabelAndLetterAndSelected) {
    Plug("reader", "vmcard.img", "VMCARD");
    const std::string mountPoint = Mount("VMCARD");
    Start();
    Select(0);
    EXPECT_EQ(desktop_.chooserEntries(), std::vector<std::string>{"VMCARD (D:)"});
    EXPECT_EQ(fields().statusText, text::kReady);
    EXPECT_EQ(fields().deviceText, "VMCARD (D:)");
    EXPECT_EQ(fields().promptVersionText, "1.31");
    EXPECT_EQ(volumes_->VolumeOfLetter('D')->mountPoint, mountPoint);
    EXPECT_TRUE(desktop_.messages().empty());
}

TEST_F(RealDriveTest, UsbDiskThatSaysItIsFixedIsNeverOffered) {
    Plug("disk", "fixed.img", "BACKUPS", "fixed");
    Plug("reader", "vmcard.img", "VMCARD");
    Mount("BACKUPS");
    Mount("VMCARD");
    const std::string disk = fs::canonical("/dev/disk/by-label/BACKUPS").filename().string();
    std::ifstream removable("/sys/class/block/" + disk + "/removable");
    std::string flag;
    removable >> flag;
    ASSERT_EQ(flag, "0") << "the fixed USB disk should say it is fixed";
    Start();
    Select(0);
    EXPECT_EQ(desktop_.chooserEntries(), std::vector<std::string>{"VMCARD (D:)"});
    EXPECT_EQ(fields().deviceText, "VMCARD (D:)");
}

TEST_F(RealDriveTest, PlugMountCardOutCardInAndUnplugAreEachNoticed) {
    Start();
    linux_drives::DeviceMonitor monitor;
    ASSERT_GE(monitor.udevFd(), 0);
    ASSERT_GE(monitor.mountFd(), 0);
    std::vector<devices::DeviceEvent> events;
    qt::DeviceWatcher watcher(monitor, *volumes_, [&](devices::DeviceEvent event) {
        events.push_back(event);
        dialog_->OnDeviceChange(event);
    });
    const auto noticed = [&](devices::DeviceEvent event) {
        return WaitFor([&] { return !events.empty() && events.back() == event; });
    };
    const auto hasD = [&] { return (volumes_->LogicalDrives() & (1u << ('D' - 'A'))) != 0; };

    Plug("reader", "vmcard.img", "VMCARD");
    EXPECT_TRUE(noticed(devices::DeviceEvent::Arrival)) << "plug";
    EXPECT_TRUE(hasD());

    events.clear();
    const std::string mountPoint = Mount("VMCARD");
    EXPECT_TRUE(WaitFor([&] { return volumes_->mounts().contains('D'); })) << "mount";
    EXPECT_FALSE(events.empty()) << "mount";
    Unmount(mountPoint);
    EXPECT_TRUE(WaitFor([&] { return !volumes_->mounts().contains('D'); })) << "unmount";

    const auto hasMedium = [&] {
        return volumes_->VolumeOfLetter('D').value_or(linux_drives::RemovableVolume{}).hasMedium;
    };
    events.clear();
    ASSERT_EQ(RunCommand("vm-host-step eject reader").status, 0);
    EXPECT_TRUE(WaitFor([&] { return !hasMedium(); })) << "card out";
    EXPECT_EQ(events, std::vector<devices::DeviceEvent>{devices::DeviceEvent::RemoveComplete}) << "card out";
    EXPECT_TRUE(hasD()) << "the empty reader keeps its letter";

    events.clear();
    ASSERT_EQ(RunCommand("vm-host-step insert reader " + SharedFile("vmcard.img")).status, 0);
    EXPECT_TRUE(WaitFor(hasMedium)) << "card in";
    ASSERT_FALSE(events.empty()) << "card in";
    EXPECT_EQ(events.back(), devices::DeviceEvent::Arrival) << "card in";

    events.clear();
    Unplug("reader");
    EXPECT_TRUE(noticed(devices::DeviceEvent::RemoveComplete)) << "unplug";
    EXPECT_TRUE(WaitFor([&] { return volumes_->LogicalDrives() == 0; }));
}

// The whole Initialize from the main dialog, on a card that holds prompts, with udisksd running:
// formatted FAT with the label given in our format dialog, mounted again by UDisks2, and then
// given the initial card structure.
TEST_F(RealDriveTest, InitializeFormatsThroughUDisksAndInstallsTheInitialStructure) {
    Plug("reader", "format.img", "VMCARD");
    const std::string device = fs::canonical("/dev/disk/by-label/VMCARD").string();
    const CommandRun mounted = RunCommand("udisksctl mount --no-user-interaction -b " + device);
    ASSERT_EQ(mounted.status, 0) << mounted.output;

    std::vector<std::string> messages;
    {
        qt::ProgramOptions options;
        options.adjustServices = [&](qt::DesktopServices& services) {
            services.messageBox = [&](QWidget*, const QString& text, MessageButtons) {
                messages.push_back(text.toStdString());
                return MessageAnswer::Yes;
            };
        };
        qt::DesktopProgram program(options);
        ASSERT_TRUE(program.Start());
        AnswerNextModal([](QWidget* chooser) { qobject_cast<QDialog*>(chooser)->accept(); });
        program.dialog().OnCommand(ControlId::Select);
        ASSERT_EQ(program.dialog().cardFields().statusText, text::kReady);
        ASSERT_EQ(program.dialog().cardFields().promptVersionText, "1.31");

        AnswerNextModal([](QWidget* open) {
            auto* dialog = dynamic_cast<qt::FormatDialog*>(open);
            ASSERT_NE(dialog, nullptr);
            dialog->labelEdit()->setText(QStringLiteral("NEWCARD"));
            dialog->accept();
        });
        program.dialog().OnCommand(ControlId::Initialize);
        EXPECT_EQ(messages, (std::vector<std::string>{std::string(text::kReformatQuestion),
                                                      std::string(text::kFormatNotice)}));
        EXPECT_EQ(program.dialog().cardFields().deviceText, "NEWCARD (D:)");
        EXPECT_EQ(program.dialog().cardFields().promptVersionText, "1.31");
        ASSERT_TRUE(HasLabel("NEWCARD"));
    }  // the program lets go of the card

    const CommandRun unmounted = RunCommand("udisksctl unmount --no-user-interaction -b " + device);
    ASSERT_EQ(unmounted.status, 0) << unmounted.output;
    const CommandRun type = RunCommand("vm-host-step run minfo -i " + SharedFile("format.img") + "@@1M ::");
    EXPECT_NE(type.output.find("disk type=\"FAT16"), std::string::npos) << type.output;
    const CommandRun listing = RunCommand("vm-host-step run " + std::string(VOCELL_VM_HOST_STEPS) +
                                          "/check-card.sh " + SharedFile("format.img"));
    ASSERT_EQ(listing.status, 0) << listing.output;
    EXPECT_NE(listing.output.find("/VM/PROMPTS/0/0/0/VERSION.TXT\t"), std::string::npos) << listing.output;
    EXPECT_EQ(listing.output.find("/VM/MSGS/100/"), std::string::npos) << "the old messages survived";
    EXPECT_EQ(listing.output.find("VOCELL-RESTORE-INTERRUPTED.TXT"), std::string::npos);
}

}  // namespace
}  // namespace vocell::test

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    if (std::getenv("VOCELL_VM_SHARE") == nullptr) {
        std::fprintf(stderr, "These tests run in the test virtual machine: tests/vm/README.md.\n");
        return 1;
    }
    return RUN_ALL_TESTS();
}
