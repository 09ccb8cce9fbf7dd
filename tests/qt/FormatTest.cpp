// Formatting the selected card through UDisks2, against a mock of the service on a private bus:
// the right device is formatted vfat with the label and mounted again, anything else is refused
// with a reason, and a failed format reaches the user with the card left as it was.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <filesystem>
#include <fstream>
#include <map>
#include <vector>

#include "app/DialogLayout.h"
#include "common/Messages.h"
#include "platform/linux/files/FolderVolumes.h"
#include "platform/linux/format/MkfsFormatter.h"
#include "platform/linux/format/UDisks2Formatter.h"
#include "platform/linux/format/UDisks2Names.h"
#include "qt/CardFormat.h"
#include "qt/TemplateWidgets.h"
#include "qt/program/DesktopProgram.h"
#include "tests/qt/CardSwap.h"
#include "tests/qt/GuiTestSupport.h"
#include "tests/qt/MockUDisks2.h"

namespace vocell::qt {
namespace {

const QString kCardBlock = QStringLiteral("/org/freedesktop/UDisks2/block_devices/sdb1");
const QString kDiskBlock = QStringLiteral("/org/freedesktop/UDisks2/block_devices/sda1");
const QString kFilesystem = udisks2::kFilesystem;

const test::MockDisk& kReader = test::kCardReader;
const test::MockPartition kCardVolume{"VMCARD", "/media/tech/VMCARD"};
const test::MockDisk kFixedDisk{"sda", 8, 0, false, 2'000'000, "ata", "Acme_SSD_F0001", "F0001"};
const test::MockPartition kFixedVolume{"DATA", "/media/tech/DATA", "5d2c7a3e-1f0b-4c6a-9e8d-2b1a0c9f8e7d",
                                       "ext4"};

const FormatTarget kCard = test::TargetFor(kReader, kCardVolume, 'D');
const FormatTarget kInternalDisk = test::TargetFor(kFixedDisk, kFixedVolume, 'D');

QVariant Property(const QString& path, const char* name, const QString& interface = udisks2::kBlock) {
    return test::MockUDisks2::Property(path, name, interface);
}

std::map<std::string, std::uintmax_t> Tree(const std::filesystem::path& folder) {
    std::map<std::string, std::uintmax_t> tree;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        tree[entry.path().lexically_relative(folder).string()] =
            entry.is_regular_file() ? entry.file_size() : 0;
    }
    return tree;
}

class FormatTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(test::MockUDisks2::Reset()) << "the mock UDisks2 did not come up";
        test::MockUDisks2::AddDrive(kReader);
        test::MockUDisks2::AddPartition(kReader, 1, kCardVolume, 1);
        test::MockUDisks2::AddDrive(kFixedDisk);
        test::MockUDisks2::AddPartition(kFixedDisk, 1, kFixedVolume, 1);
        services_.targetOf = [this](char, std::string& currentLabel) -> std::optional<FormatTarget> {
            currentLabel = "VMCARD";
            return target_;
        };
        services_.askLabel = [this](QWidget*, const FormatTarget& target, const std::string& currentLabel) {
            asked_.push_back(target.devNode + " " + currentLabel);
            return label_;
        };
        services_.tell = [this](const std::string& text) { told_.push_back(text); };
        services_.releaseCard = [this] { ++released_; };
        services_.formatter = &udisks_;
    }

    UDisks2Formatter udisks_{QDBusConnection::systemBus()};
    CardFormatServices services_;
    std::optional<FormatTarget> target_ = kCard;
    std::optional<std::string> label_ = "NEWCARD";
    std::vector<std::string> asked_;
    std::vector<std::string> told_;
    int released_ = 0;
};

TEST_F(FormatTest, SelectedCardIsFormattedVfatWithTheLabelAndMountedAgain) {
    FormatSelectedCard(nullptr, 'D' - 'A', target_ ? target_->medium : MediumIdentity{}, services_);
    EXPECT_TRUE(told_.empty()) << told_.front();
    EXPECT_EQ(asked_, std::vector<std::string>{"/dev/sdb1 VMCARD"});
    EXPECT_EQ(released_, 1);
    EXPECT_EQ(Property(kCardBlock, "IdType").toString(), QStringLiteral("vfat"));
    EXPECT_EQ(Property(kCardBlock, "IdLabel").toString(), QStringLiteral("NEWCARD"));
    EXPECT_FALSE(qdbus_cast<QList<QByteArray>>(Property(kCardBlock, "MountPoints", kFilesystem)).isEmpty());
    EXPECT_EQ(Property(kDiskBlock, "IdType").toString(), QStringLiteral("ext4"));
}

TEST_F(FormatTest, AnythingButTheSelectedRemovableCardIsRefusedWithTheReason) {
    target_ = kInternalDisk;
    FormatSelectedCard(nullptr, 'D' - 'A', target_ ? target_->medium : MediumIdentity{}, services_);
    EXPECT_EQ(told_, std::vector<std::string>{"DATA (D:)" + std::string(text::format::kNotRemovable)});
    EXPECT_TRUE(asked_.empty());
    EXPECT_EQ(Property(kDiskBlock, "IdType").toString(), QStringLiteral("ext4"));

    told_.clear();
    // Cancel in our dialog leaves the card as it is.
    target_ = kCard;
    label_.reset();
    const QVariant labelBefore = Property(kCardBlock, "IdLabel");
    FormatSelectedCard(nullptr, 'D' - 'A', target_ ? target_->medium : MediumIdentity{}, services_);
    EXPECT_TRUE(told_.empty());
    EXPECT_EQ(released_, 0);
    EXPECT_EQ(Property(kCardBlock, "IdLabel"), labelBefore);
}

TEST_F(FormatTest, FormatErrorReachesTheUserAndNothingIsInstalled) {
    // The whole Initialize, from the main dialog's button, on a card that holds prompts.
    test::TestInstallation install;
    const auto before = Tree(install.card());
    std::vector<std::string> messages;
    ProgramOptions options;
    options.cardFolder = install.card();
    options.adjustServices = [&](DesktopServices& services) {
        services.messageBox = [&](QWidget*, const QString& text, MessageButtons) {
            messages.push_back(text.toStdString());
            return MessageAnswer::Yes;
        };
        services.formatDrive = [this](QWidget* parent, int driveIndex, const MediumIdentity& medium) {
            return FormatSelectedCard(parent, driveIndex, medium, services_);
        };
    };
    DesktopProgram program(options);
    ASSERT_TRUE(program.Start());
    services_.tell = [&](const std::string& text) {
        program.desktop().ShowMessageBox(text, MessageButtons::Ok, MessageKind::Notice);
    };
    test::AnswerNextModal([](QWidget* chooser) { qobject_cast<QDialog*>(chooser)->accept(); });
    program.dialog().OnCommand(ControlId::Select);
    ASSERT_EQ(program.dialog().cardFields().statusText, text::kReady);
    // The card in the disk service is the folder's medium.
    const MediumIdentity folder = *posix::FolderVolumes(install.card()).MediumIdentityOf("E:\\");
    target_ = test::TargetFor(kReader, kCardVolume, 'E');
    target_->mountPoint = install.card().string();
    target_->medium = folder;
    test::MockUDisks2::Remove(kCardBlock);
    test::MockUDisks2::AddPartition(
        kReader, 1, kCardVolume, 1,
        {{QStringLiteral("IdUUID"), QString::fromStdString(folder.volumeSerial)},
         {QStringLiteral("IdLabel"), QString::fromStdString(folder.label)},
         {QStringLiteral("Size"), QVariant::fromValue<qulonglong>(folder.capacityBytes)}});
    test::MockUDisks2::FailFormat(kCardBlock, QStringLiteral("Error wiping device: Device busy"));

    program.dialog().OnCommand(ControlId::Initialize);
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0], text::kReformatQuestion);
    EXPECT_EQ(messages[1], text::kFormatNotice);
    EXPECT_EQ(messages[2], std::string(text::format::kFormatFailed) + "Error wiping device: Device busy");
    EXPECT_EQ(Tree(install.card()), before);
    EXPECT_EQ(program.window().statusBar()->paneText(0), ToQString(text::kReady));
}

}  // namespace
}  // namespace vocell::qt

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
