#pragma once
// A card in its reader and the USB stick with photos that takes its place, under umockdev and in
// the mock UDisks2 alike: the reader is pulled, and the stick gets its node /dev/sdb1 and its
// UDisks2 block object. Each medium holds a FAT file system with its own serial and label.

#include "tests/qt/MockDrives.h"

#include <gtest/gtest.h>

#include <QString>
#include <QVariantMap>

#include "platform/linux/format/CardFormatter.h"
#include "tests/qt/MockUDisks2.h"

namespace vocell::test {

inline const MockDisk kPhotoStick{
    "sdb", 8, 16, true, 2 * kSectorsOf128MB, "usb", "Kingston_DataTraveler_K0042-0:0", "K0042"};
inline const QString kSdb1Block = QStringLiteral("/org/freedesktop/UDisks2/block_devices/sdb1");

// What a scan hands a formatter for the only partition of disk, with the letter.
qt::FormatTarget TargetFor(const MockDisk& disk, const MockPartition& volume, char letter);

class CardSwapTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(MockUDisks2::Reset()) << "the mock UDisks2 did not come up"; }

    // The reader with the card, mounted where card_ says; drive adds to the UDisks2 drive's properties.
    void PlugCard(const QVariantMap& drive = {});
    // Pulls the reader; the stick takes its place.
    void SwapForStick();
    // The start of the medium behind /dev/sdb1 now, where a format writes its file system.
    [[nodiscard]] std::string MediumStart() const;
    static constexpr std::size_t kMediumStartBytes = 4 * 1024 * 1024;

    MockPartition card_{"VMCARD", "/media/tech/VMCARD", "1A2B-3C4D"};
    MockPartition photos_{"PHOTOS", "/media/tech/PHOTOS", "7C1E-0A55"};
    MockDrives machine_;
};

}  // namespace vocell::test
