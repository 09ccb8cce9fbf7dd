// The census of removable volumes whose disk extents the system can report.

#include "devices/VolumeCensus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/FakeVolumes.h"
#include "tests/support/TempDirectory.h"

namespace vocell::test {
namespace {

class CensusTest : public ::testing::Test {
protected:
    void plugCard(char letter) { volumes.addDrive(letter, DriveType::Removable, true, "VMCARD"); }
    int count(int maxCount = 6) { return devices::CountRemovableVolumes(volumes, maxCount); }
    // The name a volume is opened by: its volume name without the trailing backslash.
    static std::string deviceName(char letter) {
        const std::string name = FakeVolumes::volumeName(letter);
        return name.substr(0, name.size() - 1);
    }
    bool opened(char letter) const {
        const auto& names = volumes.openedDevices();
        return std::find(names.begin(), names.end(), deviceName(letter)) != names.end();
    }

    TempDirectory temp;
    FakeVolumes volumes{temp.path()};
};

TEST_F(CensusTest, NoVolumeCountsZero) {
    EXPECT_EQ(count(), 0);
    volumes.addDrive('C', DriveType::Fixed);
    EXPECT_EQ(count(), 0);
}

TEST_F(CensusTest, EnumerationThatCannotStartCountsZero) {
    plugCard('E');
    volumes.failEnumeration();
    EXPECT_EQ(count(), 0);
    EXPECT_TRUE(volumes.openedDevices().empty());
}

TEST_F(CensusTest, RemovableVolumeIsCountedAndOpenedWithoutItsTrailingBackslash) {
    plugCard('E');
    // The fake knows a volume's type only by its name with the backslash: a count of 1 also
    // shows that the type was asked that way.
    EXPECT_EQ(count(), 1);
    EXPECT_EQ(volumes.openedDevices(), std::vector<std::string>{"\\\\?\\Volume{E}"});
    EXPECT_EQ(volumes.liveDevices(), 0);
}

TEST_F(CensusTest, SevenPassingVolumesCountSixAndTheSeventhIsNeverOpened) {
    for (char letter = 'D'; letter <= 'J'; ++letter) plugCard(letter);
    EXPECT_EQ(count(6), 6);
    EXPECT_EQ(volumes.openedDevices().size(), 6u);
    EXPECT_FALSE(opened('J'));
    EXPECT_EQ(volumes.volumesVisited(), 6);
    EXPECT_EQ(volumes.liveDevices(), 0);
}

TEST_F(CensusTest, SmallerMaxCountStopsEarlier) {
    for (char letter = 'D'; letter <= 'F'; ++letter) plugCard(letter);
    EXPECT_EQ(count(2), 2);
    EXPECT_FALSE(opened('F'));
    EXPECT_EQ(count(1), 1);
    EXPECT_EQ(volumes.volumesVisited(), 1);
}

TEST_F(CensusTest, VolumeWhoseExtentsFailIsClosedAndNotCounted) {
    plugCard('E');
    plugCard('F');
    volumes.failExtents('E');
    EXPECT_EQ(count(), 1);
    EXPECT_TRUE(opened('E'));
    EXPECT_TRUE(opened('F'));
    EXPECT_EQ(volumes.closedDevices(), 2);
    EXPECT_EQ(volumes.liveDevices(), 0);
}

TEST_F(CensusTest, FailingVolumesDoNotUseUpTheMaxCount) {
    plugCard('D');
    volumes.failExtents('D');
    for (char letter = 'E'; letter <= 'K'; ++letter) plugCard(letter);  // seven that pass
    EXPECT_EQ(count(6), 6);
    EXPECT_EQ(volumes.openedDevices().size(), 7u);  // D and E..J
    EXPECT_FALSE(opened('K'));
    EXPECT_EQ(volumes.liveDevices(), 0);
}

TEST_F(CensusTest, FixedAndOpticalVolumesAreNeverOpened) {
    volumes.addDrive('C', DriveType::Fixed, true);
    volumes.addDrive('D', DriveType::CdRom, true);
    volumes.addDrive('H', DriveType::RamDisk, true);
    EXPECT_EQ(count(), 0);
    EXPECT_TRUE(volumes.openedDevices().empty());
}

TEST_F(CensusTest, RemovableVolumesAmongOthersAreCountedInEnumerationOrder) {
    volumes.addDrive('C', DriveType::Fixed, true);
    volumes.addDrive('D', DriveType::CdRom, true);
    plugCard('E');
    plugCard('G');
    EXPECT_EQ(count(), 2);
    EXPECT_EQ(volumes.openedDevices(), (std::vector<std::string>{deviceName('E'), deviceName('G')}));
}

}  // namespace
}  // namespace vocell::test
