// Where UDisks2 runs, the disks it marks as the system's (HintSystem) or to be ignored (HintIgnore)
// are never offered, under umockdev and the mock UDisks2; where it does not, discovery goes on.

#include "tests/qt/MockDrives.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDBusConnection>
#include <string>
#include <vector>

#include "app/DialogLayout.h"
#include "platform/linux/drives/LinuxVolumes.h"
#include "platform/linux/format/UDisks2Judgement.h"
#include "qt/DriveChooserDialog.h"
#include "qt/program/DesktopProgram.h"
#include "tests/qt/GuiTestSupport.h"
#include "tests/qt/MockUDisks2.h"

namespace vocell::test {
namespace {

const MockDisk& kReader = kCardReader;
const MockDisk kIgnoredStick{"sdc", 8, 32, true, kSectorsOf128MB, "usb", "Acme_Stick_S0002-0:0", "S0002"};
const MockDisk kSystemDisk{"sdd", 8, 48, true, kSectorsOf128MB, "usb", "Acme_Disk_D0003-0:0", "D0003"};

class DiskServiceJudgementTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(MockUDisks2::Reset()) << "the mock UDisks2 did not come up";
        const MockPartition card{"VMCARD", "/media/tech/VMCARD"};
        const MockPartition stick{"PHOTOS", "/media/tech/PHOTOS", "7C1E-0A55"};
        const MockPartition system{"LIVE", "/media/tech/LIVE", "0B0B-1CE5"};
        machine_.Plug(kReader, {card});
        machine_.Plug(kIgnoredStick, {stick});
        machine_.Plug(kSystemDisk, {system});
        for (const MockDisk& disk : {kReader, kIgnoredStick, kSystemDisk}) MockUDisks2::AddDrive(disk);
        MockUDisks2::AddPartition(kReader, 1, card, 1);
        MockUDisks2::AddPartition(kIgnoredStick, 1, stick, 1, {{QStringLiteral("HintIgnore"), true}});
        MockUDisks2::AddPartition(kSystemDisk, 1, system, 1);
        MockUDisks2::AddBlock(QStringLiteral("sdd"), MockUDisks2::DriveName(kSystemDisk),
                              {{QStringLiteral("DeviceNumber"),
                                QVariant::fromValue<qulonglong>(MockDrives::DeviceNumber(kSystemDisk))},
                               {QStringLiteral("HintSystem"), true}});
    }

    MockDrives machine_;
};

TEST_F(DiskServiceJudgementTest, DisksTheServiceMarksAreNeverOfferedInTheChooser) {
    TestInstallation install;
    qt::DesktopProgram program(qt::ProgramOptions{});
    ASSERT_TRUE(program.Start());
    std::vector<std::string> entries;
    AnswerNextModal([&](QWidget* open) {
        auto* chooser = dynamic_cast<qt::DriveChooserDialog*>(open);
        ASSERT_NE(chooser, nullptr);
        for (int i = 0; i < chooser->list()->count(); ++i) {
            entries.push_back(chooser->list()->itemData(i).toString().toStdString());
        }
        chooser->reject();
    });
    program.dialog().OnCommand(ControlId::Select);
    EXPECT_EQ(entries, std::vector<std::string>{"VMCARD (D:)"});

    // Without the service's judgement all three would be offered.
    linux_drives::LinuxVolumes unjudged;
    EXPECT_EQ(OfferedLabels(unjudged), (std::vector<std::string>{"VMCARD", "PHOTOS", "LIVE"}));
}

TEST_F(DiskServiceJudgementTest, WithoutTheServiceDiscoveryGoesOnUnjudged) {
    const QDBusConnection noBus =
        QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("no-bus"));
    const qt::UDisks2Judgement judgement(noBus);
    EXPECT_TRUE(judgement.SystemDevices().empty());
    linux_drives::LinuxVolumes volumes({}, {{}, [&] { return judgement.SystemDevices(); }});
    EXPECT_EQ(OfferedLabels(volumes), (std::vector<std::string>{"VMCARD", "PHOTOS", "LIVE"}));
}

}  // namespace
}  // namespace vocell::test
