// Device discovery: the slot tables and the hidden device list rebuilt from the drives present,
// and the probe of the device the user has chosen.

#include "devices/DeviceDiscovery.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "common/Messages.h"
#include "devices/SelectionProbe.h"
#include "devices/VolumeCensus.h"
#include "tests/support/FakeVolumes.h"
#include "tests/support/TempDirectory.h"

namespace vocell::test {
namespace {

using Roots = std::array<std::string, devices::kSlotCount>;
using Letters = std::array<int, devices::kSlotCount>;
using Items = std::vector<std::string>;

// ---- The rebuild on its own ----

class DiscoveryTest : public ::testing::Test {
protected:
    void PlugCard(char letter) { volumes.AddDrive(letter, DriveType::Removable, true, "VMCARD"); }
    void PlugEmptyReader(char letter) { volumes.AddDrive(letter, DriveType::Removable, false); }
    bool Refresh(devices::DeviceEvent eventCode = devices::DeviceEvent::Refresh) {
        return devices::RefreshDeviceList(slots, volumes, eventCode);
    }
    int Census() { return devices::CountRemovableVolumes(volumes, devices::kSlotCount); }
    const Items& items() const { return slots.deviceList.items(); }

    TempDirectory temp;
    FakeVolumes volumes{temp.path()};
    devices::DeviceSlots slots;
};

TEST_F(DiscoveryTest, NoSlotIsClearedWhileNothingIsSelected) {
    PlugCard('E');
    ASSERT_TRUE(Refresh());
    slots.deviceIndex = devices::kNoItem;
    volumes.RemoveDrive('E');
    ASSERT_TRUE(Refresh(devices::DeviceEvent::RemoveComplete));
    EXPECT_EQ(slots.slotRoots[0], "E:\\");
    EXPECT_EQ(slots.deviceIndex, devices::kNoItem);
}

// The drives plugged in ("Er": E: removable with a card, "e" without, "f" fixed, "c" CD-ROM,
// "n" network, "m" RAM disk, "u" unknown), the list after each refresh, the slots after the last.
struct Rebuild {
    const char* name;
    std::string drives;
    std::vector<Items> listAfterEachRefresh;
    Roots roots;
};

TEST_F(DiscoveryTest, RebuildListsRemovableDrivesFromCAndACensusOfNoneAddsToTheList) {
    const std::map<char, std::pair<DriveType, bool>> kinds{
        {'r', {DriveType::Removable, true}}, {'e', {DriveType::Removable, false}},
        {'f', {DriveType::Fixed, true}},     {'c', {DriveType::CdRom, true}},
        {'n', {DriveType::Remote, true}},    {'m', {DriveType::RamDisk, true}},
        {'u', {DriveType::Unknown, true}}};
    const Rebuild cases[] = {
        {"a census of none keeps a list that already holds the drive", "Ee", {{"E:\\"}, {"E:\\"}}, {"E:\\"}},
        {"a census of none adds one more second drive at every refresh",
         "Ee Fe",
         {{"E:\\", "F:\\"}, {"E:\\", "F:\\", "F:\\"}, {"E:\\", "F:\\", "F:\\", "F:\\"}},
         {"E:\\", "F:\\"}},
        {"drives A and B are never listed", "Ar Br Er", {{"E:\\"}}, {"E:\\"}},
        // F: is a USB hard disk that calls itself fixed.
        {"only removable drives are listed", "Cf Dc Er Ff Gr Hn Im Ju", {{"E:\\", "G:\\"}}, {"E:\\", "G:\\"}},
    };
    for (const Rebuild& c : cases) {
        SCOPED_TRACE(c.name);
        TempDirectory machine;
        FakeVolumes drives{machine.path()};
        devices::DeviceSlots rebuilt;
        for (std::size_t i = 0; i + 1 < c.drives.size(); i += 3) {
            const auto& [type, medium] = kinds.at(c.drives[i + 1]);
            drives.AddDrive(c.drives[i], type, medium, "VMCARD");
        }
        for (const Items& expected : c.listAfterEachRefresh) {
            ASSERT_TRUE(devices::RefreshDeviceList(rebuilt, drives, devices::DeviceEvent::Refresh));
            EXPECT_EQ(rebuilt.deviceList.items(), expected);
        }
        EXPECT_EQ(rebuilt.slotRoots, c.roots);
        EXPECT_EQ(rebuilt.slotLetters[0], 2);
    }
}

TEST_F(DiscoveryTest, CardArrivingEmptiesTheListBeforeTheRebuild) {
    PlugEmptyReader('E');
    PlugEmptyReader('F');
    ASSERT_TRUE(Refresh());
    ASSERT_TRUE(Refresh());
    ASSERT_EQ(items().size(), 3u);
    volumes.InsertMedium('F');
    ASSERT_TRUE(Refresh(devices::DeviceEvent::Arrival));
    EXPECT_EQ(items(), (Items{"E:\\", "F:\\"}));
}

// ---- The selection probe ----

// The probe's view of the main dialog: it records what the probe asks of it.
class RecordingHost final : public devices::SelectionHost {
public:
    explicit RecordingHost(devices::DeviceSlots& slots) : slots_(slots) {}
    void Pull() override {
        calls.push_back("pull");
        slots_.deviceIndex = slots_.deviceList.selection();
    }
    void Push() override { calls.push_back("push"); }
    void RefreshCardStatus() override { calls.push_back("refresh"); }
    void ClearCardTypeAndVersion() override { calls.push_back("clear type and version"); }
    void ShowMessage(std::string_view text) override { calls.push_back("message: " + std::string(text)); }

    std::vector<std::string> calls;

private:
    devices::DeviceSlots& slots_;
};

const std::vector<std::string> kRefreshed{"pull", "refresh", "push"};

class SelectionProbeTest : public ::testing::Test {
protected:
    void ListItems(const Items& texts, int selected) {
        for (std::size_t i = 0; i < texts.size(); ++i) {
            slots.deviceList.InsertAt(static_cast<int>(i), texts[i]);
        }
        slots.deviceList.Select(selected);
    }
    void Probe() { devices::ProbeSelectedDevice(slots, volumes, host, volumeLabel); }

    TempDirectory temp;
    FakeVolumes volumes{temp.path()};
    devices::DeviceSlots slots;
    RecordingHost host{slots};
    std::string volumeLabel = "EARLIER";
};

TEST_F(SelectionProbeTest, DriveWithoutMediumIsReportedAndNotRefreshed) {
    volumes.AddDrive('E', DriveType::Removable, false);
    ListItems({"E:\\"}, 0);
    Probe();
    EXPECT_EQ(host.calls, (std::vector<std::string>{"pull", "message: " + std::string(text::kNoMediaPresent),
                                                    "clear type and version", "push"}));
    EXPECT_EQ(slots.slotRoots, (Roots{"E:\\"}));
    EXPECT_EQ(slots.slotLetters, (Letters{2}));
    EXPECT_EQ(volumeLabel, "EARLIER");
}

TEST_F(SelectionProbeTest, ItemQAtIndexThreeGivesLetterCode14) {
    volumes.AddDrive('Q', DriveType::Removable, true, "VMCARD");
    ListItems({"E:\\", "F:\\", "G:\\", "Q:\\"}, 3);
    Probe();
    EXPECT_EQ(slots.deviceIndex, 3);
    EXPECT_EQ(slots.slotLetters[3], 14);
    EXPECT_EQ(slots.slotRoots[3], "Q:\\");
    EXPECT_EQ(volumeLabel, "VMCARD");
    EXPECT_EQ(host.calls, kRefreshed);
}

TEST_F(SelectionProbeTest, ItemThatIsNoUpperCaseDriveRootLeavesTheSlotWithoutDrive) {
    volumes.AddDrive('E', DriveType::Removable, false);  // would say "No media present."
    for (const std::string item : {"e:\\", "E:", "VMCARD (E:)", "AB:\\"}) {
        SCOPED_TRACE("item " + item);
        slots = {};
        host.calls.clear();
        slots.slotRoots[0] = "E:\\";
        slots.slotLetters[0] = 2;
        ListItems({item}, 0);
        Probe();
        EXPECT_EQ(slots.slotLetters[0], devices::kNoDrive);
        EXPECT_EQ(slots.slotRoots[0], "");
        EXPECT_EQ(host.calls, kRefreshed);
    }
}

TEST_F(SelectionProbeTest, ProbeOfSlotTwoChangesOnlySlotTwo) {
    volumes.AddDrive('G', DriveType::Removable, true, "VMCARD");
    slots.slotRoots = {"D:\\", "E:\\", "X:\\", "K:\\", "L:\\", "M:\\"};
    slots.slotLetters = {1, 2, 21, 8, 9, 10};
    ListItems({"D:\\", "E:\\", "G:\\", "K:\\", "L:\\", "M:\\"}, 2);
    Probe();
    EXPECT_EQ(slots.slotRoots, (Roots{"D:\\", "E:\\", "G:\\", "K:\\", "L:\\", "M:\\"}));
    EXPECT_EQ(slots.slotLetters, (Letters{1, 2, 4, 8, 9, 10}));
}

}  // namespace
}  // namespace vocell::test
