// Formatting without a disk service (mkfs.fat as root), under umockdev: the card's device is opened,
// its medium checked through the open descriptor, and mkfs.fat formats that descriptor. A stick
// that took the card's node, or the same volume in another reader, is not formatted; nor is what
// cannot be checked. The FAT file systems are read back with mtools, without a kernel driver.

#include "tests/qt/CardSwap.h"

#include <QProcess>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/Messages.h"
#include "platform/linux/drives/LinuxVolumes.h"
#include "platform/linux/format/MkfsFormatter.h"
#include "qt/CardFormat.h"
#include "qt/program/FormatTargets.h"
#include "tests/support/TempDirectory.h"

namespace vocell::test {
namespace {

// What minfo says of the FAT file system in the file.
std::string FatInfo(const std::filesystem::path& image) {
    QProcess minfo;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("MTOOLS_SKIP_CHECK"), QStringLiteral("1"));
    minfo.setProcessEnvironment(environment);
    minfo.start(QStringLiteral("minfo"),
                {QStringLiteral("-i"), QString::fromStdString(image.string()), QStringLiteral("::")});
    minfo.waitForFinished();
    return QString::fromLocal8Bit(minfo.readAllStandardOutput()).toStdString();
}

class MkfsFormatTest : public CardSwapTest {
protected:
    qt::FormatTarget TargetOfDriveD() {
        std::string label;
        auto target = qt::FormatTargetOf(volumes_, 'D', label);
        EXPECT_TRUE(target.has_value());
        return target.value_or(qt::FormatTarget{});
    }

    linux_drives::LinuxVolumes volumes_;
    qt::MkfsFormatter mkfs_;
};

TEST_F(MkfsFormatTest, CardStillInItsReaderIsFormattedFat16WithTheLabel) {
    PlugCard();
    const qt::FormatTarget target = TargetOfDriveD();
    ASSERT_TRUE(mkfs_.Check(target).ok);
    const qt::FormatResult result = mkfs_.Format(target, "NEWCARD");
    ASSERT_TRUE(result.ok) << result.error;
    const std::string info = FatInfo(machine_.NodeFile("sdb1"));
    EXPECT_NE(info.find("FAT16"), std::string::npos) << info;
    EXPECT_NE(info.find("NEWCARD"), std::string::npos) << info;
}

TEST_F(MkfsFormatTest, StickThatTookTheCardsNodeIsNotFormatted) {
    PlugCard();
    const qt::FormatTarget target = TargetOfDriveD();
    SwapForStick();
    const std::string stick = MediumStart();
    const qt::FormatResult result = mkfs_.Format(target, "NEWCARD");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, text::kPleaseSelectDevice);
    EXPECT_EQ(MediumStart(), stick);
    EXPECT_NE(FatInfo(machine_.NodeFile("sdb1")).find("PHOTOS"), std::string::npos);
}

// The card's very volume (its file system's serial and label, its size) in another reader is
// another medium: the reader is checked too, through the opened device's number.
TEST_F(MkfsFormatTest, SameVolumeInAnotherReaderIsNotFormatted) {
    PlugCard();
    const qt::FormatTarget target = TargetOfDriveD();
    const std::string card = MediumStart();
    machine_.Unplug(kCardReader, 1);
    const MockDisk otherReader{"sdb", 8, 16, true, kSectorsOf128MB, "usb", "Acme_Reader_A0009-0:0", "A0009"};
    machine_.Plug(otherReader, {card_});
    std::ofstream(machine_.NodeFile("sdb1"), std::ios::binary | std::ios::in | std::ios::out) << card;
    std::filesystem::resize_file(machine_.NodeFile("sdb1"),
                                 MockDrives::PartitionBytes(otherReader, card_, 1));
    const qt::FormatResult result = mkfs_.Format(target, "NEWCARD");
    EXPECT_EQ(result.error, text::kPleaseSelectDevice);
    EXPECT_EQ(MediumStart(), card);
}

// A disk image is no device: what it holds cannot be told to be the selected card.
TEST_F(MkfsFormatTest, WhatCannotBeCheckedIsNotFormatted) {
    TempDirectory temp;
    const auto image = temp.path() / "card.img";
    std::ofstream(image).close();
    std::filesystem::resize_file(image, 64u * 1024 * 1024);
    qt::FormatTarget target = TargetFor(kCardReader, card_, 'E');
    target.devNode = image.string();
    const qt::FormatResult result = mkfs_.Format(target, "NEWCARD");
    EXPECT_EQ(result.error, "VMCARD (E:)" + std::string(text::format::kCannotCheckCard));
    EXPECT_EQ(FatInfo(image).find("FAT16"), std::string::npos);
}

}  // namespace
}  // namespace vocell::test
