// The main dialog's device-change handler and the hidden device list's selection change.

#include <array>
#include <string>
#include <vector>

#include "app/DialogLayout.h"
#include "tests/support/DialogFixture.h"

namespace vocell::test {
namespace {

using Roots = std::array<std::string, devices::kSlotCount>;
using Letters = std::array<int, devices::kSlotCount>;
using Items = std::vector<std::string>;

class DeviceChangeTest : public DialogTest {
protected:
    const devices::DeviceSlots& slots() const { return dialog->deviceSlots(); }
};

TEST_F(DeviceChangeTest, IgnoredEventCodesAreAnsweredFalseWithoutAPush) {
    AddCard('E');
    Start();
    AddCard('G');
    const int pushes = desktop.pushCount();
    EXPECT_FALSE(dialog->OnDeviceChange(devices::DeviceEvent::Other));
    EXPECT_EQ(desktop.pushCount(), pushes);
    EXPECT_EQ(slots().slotRoots[1], "");
    EXPECT_EQ(desktop.lastFields().deviceItems, Items{"E:\\"});
}

TEST_F(DeviceChangeTest, UnpluggingTheLowerReaderLeavesTheSelectedSecondSlotEmpty) {
    AddCard('E');
    AddCard('G');
    Start();
    Select(1);
    ASSERT_EQ(slots().deviceIndex, 1);
    machine.volumes().RemoveDrive('E');
    EXPECT_TRUE(dialog->OnDeviceChange(devices::DeviceEvent::RemoveComplete));
    EXPECT_EQ(slots().slotRoots, (Roots{"G:\\"}));
    EXPECT_EQ(slots().slotLetters, (Letters{4, 4}));
    EXPECT_EQ(desktop.lastFields().deviceItems, Items{"G:\\"});
    EXPECT_EQ(desktop.lastFields().deviceSelection, devices::kNoItem);

    // The refresh behind the list's selection change then asks for a card and drops the version.
    ASSERT_EQ(dialog->cardFields().promptVersionText, "1.31");
    dialog->OnCommand(ControlId::DeviceList);
    EXPECT_EQ(desktop.Pane(0), text::kInsertCard);
    EXPECT_EQ(dialog->cardFields().promptVersionText, "");
    EXPECT_EQ(desktop.lastFields().promptVersionText, "");
    EXPECT_TRUE(messages().empty());
}

TEST_F(DeviceChangeTest, UnpluggedSecondReaderStaysInItsSlotAndInTheChooser) {
    AddCard('E');
    machine.volumes().AddDrive('F', DriveType::Removable, false);
    Start();
    ASSERT_EQ(slots().deviceIndex, 0);
    machine.volumes().RemoveDrive('F');
    EXPECT_TRUE(dialog->OnDeviceChange(devices::DeviceEvent::RemoveComplete));
    EXPECT_EQ(slots().slotRoots, (Roots{"E:\\", "F:\\"}));
    EXPECT_EQ(slots().slotLetters, (Letters{2, 3}));
    EXPECT_EQ(desktop.lastFields().deviceItems, Items{"E:\\"});

    desktop.AnswerChooser(std::nullopt);
    dialog->SelectCard();
    EXPECT_EQ(desktop.chooserEntries(), (Items{"VMCARD (E:)", "Removable Disk (F:)"}));
}

TEST_F(DeviceChangeTest, ChooserOffersTheFirstSixOfSevenRemovableDrives) {
    for (char letter = 'D'; letter <= 'J'; ++letter) AddCard(letter, std::string("CARD") + letter);
    Start();
    desktop.AnswerChooser(5);
    dialog->SelectCard();
    EXPECT_EQ(desktop.chooserEntries(),
              (Items{"CARDD (D:)", "CARDE (E:)", "CARDF (F:)", "CARDG (G:)", "CARDH (H:)", "CARDI (I:)"}));
    EXPECT_EQ(dialog->cardFields().deviceText, "CARDI (I:)");
    EXPECT_EQ(desktop.lastFields().deviceItems.size(), 6u);
}

// The probe as the hidden device list's selection change.
using DeviceListSelectionTest = DeviceChangeTest;

TEST_F(DeviceListSelectionTest, SelectionChangeReadsTheLabelAndRefreshesTheVersion) {
    AddCard('E', "VMCARD", "0131");
    Start();
    dialog->OnCommand(ControlId::DeviceList);
    EXPECT_EQ(dialog->currentVolumeLabel(), "VMCARD");
    EXPECT_EQ(dialog->cardFields().promptVersionText, "1.31");
    EXPECT_EQ(desktop.lastFields().promptVersionText, "1.31");
    EXPECT_EQ(dialog->cardFields().statusText, text::kCardNotSelected);  // the probe leaves Status
    EXPECT_TRUE(messages().empty());
}

}  // namespace
}  // namespace vocell::test
