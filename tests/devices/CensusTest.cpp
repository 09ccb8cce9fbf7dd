// The census of removable volumes whose disk extents the system can report.

#include "devices/VolumeCensus.h"

#include <gtest/gtest.h>

#include "tests/support/FakeVolumes.h"
#include "tests/support/TempDirectory.h"

namespace vocell::test {
namespace {

class CensusTest : public ::testing::Test {
protected:
    void PlugCard(char letter) { volumes.AddDrive(letter, DriveType::Removable, true, "VMCARD"); }
    // The fake opens a volume only by its name without the trailing backslash, and knows its type
    // only by the name with it: every count below also shows that both were asked that way.
    int Count(int maxCount = 6) { return devices::CountRemovableVolumes(volumes, maxCount); }

    TempDirectory temp;
    FakeVolumes volumes{temp.path()};
};

TEST_F(CensusTest, CountsRemovableVolumesWhoseExtentsCanBeRead) {
    EXPECT_EQ(Count(), 0);
    volumes.AddDrive('C', DriveType::Fixed);
    volumes.AddDrive('D', DriveType::CdRom);
    volumes.AddDrive('H', DriveType::RamDisk);
    PlugCard('E');
    PlugCard('F');
    PlugCard('G');
    volumes.FailExtents('F');
    EXPECT_EQ(Count(), 2);
    EXPECT_EQ(volumes.liveDevices(), 0);  // every volume opened was closed again
    volumes.FailEnumeration();
    EXPECT_EQ(Count(), 0);
}

TEST_F(CensusTest, StopsAtTheMaximumAndFailuresDoNotUseItUp) {
    PlugCard('D');
    volumes.FailExtents('D');
    for (char letter = 'E'; letter <= 'K'; ++letter) PlugCard(letter);  // seven that pass
    EXPECT_EQ(Count(6), 6);
    EXPECT_EQ(Count(2), 2);
}

}  // namespace
}  // namespace vocell::test
