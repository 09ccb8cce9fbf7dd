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
    void PlugCard(char letter) { volumes.AddDrive(letter, DriveType::Removable, true, "VMCARD"); }
    int Count(int maxCount = 6) { return devices::CountRemovableVolumes(volumes, maxCount); }
    // The name a volume is opened by: its volume name without the trailing backslash.
    static std::string DeviceName(char letter) {
        const std::string name = FakeVolumes::VolumeName(letter);
        return name.substr(0, name.size() - 1);
    }
    bool Opened(char letter) const {
        const auto& names = volumes.openedDevices();
        return std::find(names.begin(), names.end(), DeviceName(letter)) != names.end();
    }

    TempDirectory temp;
    FakeVolumes volumes{temp.path()};
};

TEST_F(CensusTest, NoVolumeCountsZero) {
    EXPECT_EQ(Count(), 0);
    volumes.AddDrive('C', DriveType::Fixed);
    EXPECT_EQ(Count(), 0);
}

TEST_F(CensusTest, EnumerationThatCannotStartCountsZero) {
    PlugCard('E');
    volumes.FailEnumeration();
    EXPECT_EQ(Count(), 0);
    EXPECT_TRUE(volumes.openedDevices().empty());
}

TEST_F(CensusTest, RemovableVolumeIsCountedAndOpenedWithoutItsTrailingBackslash) {
    PlugCard('E');
    // The fake knows a volume's type only by its name with the backslash: a count of 1 also
    // shows that the type was asked that way.
    EXPECT_EQ(Count(), 1);
    EXPECT_EQ(volumes.openedDevices(), std::vector<std::string>{"\\\\?\\Volume{E}"});
    EXPECT_EQ(volumes.liveDevices(), 0);
}

TEST_F(CensusTest, SevenPassingVolumesCountSixAndTheSeventhIsNeverOpened) {
    for (char letter = 'D'; letter <= 'J'; ++letter) PlugCard(letter);
    EXPECT_EQ(Count(6), 6);
    EXPECT_EQ(volumes.openedDevices().size(), 6u);
    EXPECT_FALSE(Opened('J'));
    EXPECT_EQ(volumes.volumesVisited(), 6);
    EXPECT_EQ(volumes.liveDevices(), 0);
}

TEST_F(CensusTest, SmallerMaxCountStopsEarlier) {
    for (char letter = 'D'; letter <= 'F'; ++letter) PlugCard(letter);
    EXPECT_EQ(Count(2), 2);
    EXPECT_FALSE(Opened('F'));
    EXPECT_EQ(Count(1), 1);
    EXPECT_EQ(volumes.volumesVisited(), 1);
}

TEST_F(CensusTest, VolumeWhoseExtentsFailIsClosedAndNotCounted) {
    PlugCard('E');
    PlugCard('F');
    volumes.FailExtents('E');
    EXPECT_EQ(Count(), 1);
    EXPECT_TRUE(Opened('E'));
    EXPECT_TRUE(Opened('F'));
    EXPECT_EQ(volumes.closedDevices(), 2);
    EXPECT_EQ(volumes.liveDevices(), 0);
}

TEST_F(CensusTest, FailingVolumesDoNotUseUpTheMaxCount) {
    PlugCard('D');
    volumes.FailExtents('D');
    for (char letter = 'E'; letter <= 'K'; ++letter) PlugCard(letter);  // seven that pass
    EXPECT_EQ(Count(6), 6);
    EXPECT_EQ(volumes.openedDevices().size(), 7u);  // D and E..J
    EXPECT_FALSE(Opened('K'));
    EXPECT_EQ(volumes.liveDevices(), 0);
}

TEST_F(CensusTest, FixedAndOpticalVolumesAreNeverOpened) {
    volumes.AddDrive('C', DriveType::Fixed, true);
    volumes.AddDrive('D', DriveType::CdRom, true);
    volumes.AddDrive('H', DriveType::RamDisk, true);
    EXPECT_EQ(Count(), 0);
    EXPECT_TRUE(volumes.openedDevices().empty());
}

TEST_F(CensusTest, RemovableVolumesAmongOthersAreCountedInEnumerationOrder) {
    volumes.AddDrive('C', DriveType::Fixed, true);
    volumes.AddDrive('D', DriveType::CdRom, true);
    PlugCard('E');
    PlugCard('G');
    EXPECT_EQ(Count(), 2);
    EXPECT_EQ(volumes.openedDevices(), (std::vector<std::string>{DeviceName('E'), DeviceName('G')}));
}

}  // namespace
}  // namespace vocell::test
