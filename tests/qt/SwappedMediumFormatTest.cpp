// Formatting the selected card through UDisks2, under umockdev and the mock UDisks2, while the
// drives change under our format dialog: the same card in its reader plugged in again is
// formatted vfat with the label and mounted again, Cancel leaves it as it is, and the disk
// service's own check, immediately before it formats, passes only the block object that holds
// the target's medium. (A stick that took the card's place, a card on no removable medium and a
// failed format are seen through the whole program, in InitializeThroughTheProgramTest.)

#include "tests/qt/CardSwap.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/Messages.h"
#include "platform/linux/drives/LinuxVolumes.h"
#include "platform/linux/format/UDisks2Formatter.h"
#include "platform/linux/format/UDisks2Names.h"
#include "qt/CardFormat.h"
#include "qt/program/FormatTargets.h"

namespace vocell::test {
namespace {

const std::string kNewLabel = "NEWCARD";

class SwappedMediumFormatTest : public CardSwapTest {
protected:
    // Formats drive D: as Initialize does, with duringDialog run while our dialog is open and the
    // label it then gives (none: Cancel).
    void FormatDriveD(const std::function<void()>& duringDialog,
                      std::optional<std::string> given = kNewLabel) {
        qt::CardFormatServices services;
        services.targetOf = [this](char letter, std::string& label) {
            return qt::FormatTargetOf(volumes_, letter, label);
        };
        services.askLabel = [&](QWidget*, const qt::FormatTarget&, const std::string&) {
            duringDialog();
            return given;
        };
        services.tell = [this](const std::string& text) { told_.push_back(text); };
        services.releaseCard = [this] { ++released_; };
        services.formatter = &udisks_;
        const auto selected = volumes_.MediumIdentityOf("D:\\");
        ASSERT_TRUE(selected.has_value());
        outcome_ = qt::FormatSelectedCard(nullptr, 'D' - 'A', *selected, services);
    }

    linux_drives::LinuxVolumes volumes_;
    qt::UDisks2Formatter udisks_{QDBusConnection::systemBus()};
    std::vector<std::string> told_;
    int released_ = 0;
    FormatOutcome outcome_ = FormatOutcome::Closed;
};

TEST_F(SwappedMediumFormatTest, SameCardInItsReaderPluggedInAgainIsFormattedVfatWithTheLabelAndMounted) {
    PlugCard();
    FormatDriveD([] {}, std::nullopt);
    EXPECT_EQ(outcome_, FormatOutcome::Closed);
    EXPECT_EQ(released_, 0);
    EXPECT_EQ(MockUDisks2::Calls(kSdb1Block, "Format"), 0) << "Cancel leaves the card as it is";

    FormatDriveD([this] {
        machine_.Unplug(kCardReader, 1);
        volumes_.Rescan();
        machine_.Plug(kCardReader, {card_});
    });
    EXPECT_EQ(outcome_, FormatOutcome::Formatted);
    EXPECT_TRUE(told_.empty()) << told_.front();
    EXPECT_EQ(released_, 1);
    EXPECT_EQ(MockUDisks2::Calls(kSdb1Block, "Format"), 1);
    EXPECT_EQ(MockUDisks2::Property(kSdb1Block, "IdType").toString(), QStringLiteral("vfat"));
    EXPECT_EQ(MockUDisks2::Property(kSdb1Block, "IdLabel").toString(), QString::fromStdString(kNewLabel));
    EXPECT_FALSE(qdbus_cast<QList<QByteArray>>(
                     MockUDisks2::Property(kSdb1Block, "MountPoints", qt::udisks2::kFilesystem))
                     .isEmpty());
}

// The formatter's own check, immediately before the format, on the block object it then formats:
// any part of the medium that differs stops it.
TEST_F(SwappedMediumFormatTest, DiskServiceFormatsOnlyABlockObjectThatHoldsTheTargetsMedium) {
    PlugCard();
    std::string label;
    const auto target = qt::FormatTargetOf(volumes_, 'D', label);
    ASSERT_TRUE(target.has_value());
    const std::vector<std::pair<const char*, QVariantMap>> otherMedia{
        {"serial", {{QStringLiteral("IdUUID"), QStringLiteral("7C1E-0A55")}}},
        {"label", {{QStringLiteral("IdLabel"), QStringLiteral("PHOTOS")}}},
        {"size",
         {{QStringLiteral("Size"), QVariant::fromValue<qulonglong>(target->medium.capacityBytes * 2)}}},
        {"partition", {{QStringLiteral("Number"), QVariant::fromValue<uint>(2)}}},
    };
    for (const auto& [part, properties] : otherMedia) {
        MockUDisks2::Remove(kSdb1Block);
        MockUDisks2::AddPartition(kCardReader, 1, card_, 1, properties);
        const qt::FormatResult result = udisks_.Format(*target, kNewLabel);
        EXPECT_FALSE(result.ok) << part;
        EXPECT_EQ(result.error, text::kPleaseSelectDevice) << part;
        EXPECT_EQ(MockUDisks2::Calls(kSdb1Block, "Format"), 0) << part;
    }

    // The same volume, in another reader.
    MockUDisks2::Remove(kSdb1Block);
    MockUDisks2::AddDrive(kPhotoStick);
    MockUDisks2::AddPartition(
        kPhotoStick, 1, card_, 1,
        {{QStringLiteral("Size"), QVariant::fromValue<qulonglong>(target->medium.capacityBytes)}});
    EXPECT_EQ(udisks_.Format(*target, kNewLabel).error, text::kPleaseSelectDevice);
    EXPECT_EQ(MockUDisks2::Calls(kSdb1Block, "Format"), 0);

    // A reader the service cannot name cannot be checked.
    MockUDisks2::Remove(kSdb1Block);
    MockUDisks2::Remove(QStringLiteral("/org/freedesktop/UDisks2/drives/R0001"));
    MockUDisks2::AddDrive(kCardReader, {{QStringLiteral("Serial"), QString()}});
    MockUDisks2::AddPartition(kCardReader, 1, card_, 1);
    EXPECT_EQ(udisks_.Format(*target, kNewLabel).error,
              "VMCARD (D:)" + std::string(text::format::kCannotCheckCard));
    EXPECT_EQ(MockUDisks2::Calls(kSdb1Block, "Format"), 0);

    // The card itself is formatted.
    MockUDisks2::Remove(kSdb1Block);
    MockUDisks2::Remove(QStringLiteral("/org/freedesktop/UDisks2/drives/R0001"));
    MockUDisks2::AddDrive(kCardReader);
    MockUDisks2::AddPartition(kCardReader, 1, card_, 1);
    const qt::FormatResult formatted = udisks_.Format(*target, kNewLabel);
    EXPECT_TRUE(formatted.ok) << formatted.error;
    EXPECT_EQ(MockUDisks2::Calls(kSdb1Block, "Format"), 1);
}

}  // namespace
}  // namespace vocell::test
