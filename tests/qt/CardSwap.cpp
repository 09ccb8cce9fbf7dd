#include "tests/qt/CardSwap.h"

#include <QApplication>
#include <fstream>

namespace vocell::test {
namespace {

// "1A2B-3C4D" as mkfs.fat's -i takes it.
std::string SerialOf(const MockPartition& volume) {
    std::string serial = volume.uuid;
    std::erase(serial, '-');
    return serial;
}

}  // namespace

qt::FormatTarget TargetFor(const MockDisk& disk, const MockPartition& volume, char letter) {
    qt::FormatTarget target;
    target.letter = letter;
    target.devNode = "/dev/" + disk.name + "1";
    target.diskNode = "/dev/" + disk.name;
    target.mountPoint = volume.mountPoint;
    target.deviceText = volume.label + " (" + std::string(1, letter) + ":)";
    target.medium = {volume.fsType.empty() ? "" : volume.uuid, volume.label,
                     MockDrives::PartitionBytes(disk, volume, 1), disk.serial + "-part1"};
    target.deviceNumber = MockDrives::DeviceNumber(disk, 1);
    target.partition = "1";
    target.readerSerials = {disk.serial, disk.serialShort};
    return target;
}

void CardSwapTest::PlugCard(const QVariantMap& drive) {
    machine_.Plug(kCardReader, {card_});
    machine_.LayFatFileSystem("sdb1", MockDrives::PartitionBytes(kCardReader, card_, 1), SerialOf(card_),
                              card_.label);
    MockUDisks2::AddDrive(kCardReader, drive);
    MockUDisks2::AddPartition(kCardReader, 1, card_, 1);
}

void CardSwapTest::SwapForStick() {
    machine_.Unplug(kCardReader, 1);
    MockUDisks2::Remove(kSdb1Block);
    machine_.Plug(kPhotoStick, {photos_});
    machine_.LayFatFileSystem("sdb1", MockDrives::PartitionBytes(kPhotoStick, photos_, 1), SerialOf(photos_),
                              photos_.label);
    MockUDisks2::AddDrive(kPhotoStick);
    MockUDisks2::AddPartition(kPhotoStick, 1, photos_, 1);
}

std::string CardSwapTest::MediumStart() const {
    std::ifstream node(machine_.NodeFile("sdb1"), std::ios::binary);
    std::string start(kMediumStartBytes, '\0');
    node.read(start.data(), static_cast<std::streamsize>(start.size()));
    start.resize(static_cast<std::size_t>(node.gcount()));
    return start;
}

}  // namespace vocell::test

// The format tests' program: the dialogs under test need an application.
int main(int argc, char** argv) {
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
