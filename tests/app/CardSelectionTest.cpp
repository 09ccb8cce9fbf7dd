// Select: the chooser, what each of its outcomes leaves in the four fields, the card type named
// from the capacity, the device text, and the card status refresh behind it.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/DialogLayout.h"
#include "devices/DeviceDiscovery.h"
#include "tests/support/DialogFixture.h"

namespace vocell::test {
namespace {

using Shown = std::array<std::string, 4>;  // Status, Device, Type, Prompt Version

const Shown kNoCard{std::string(text::kCardNotSelected), "", "", ""};

class CardSelectionTest : public DialogTest {
protected:
    Shown shown() const {
        return {fields().statusText, fields().deviceText, fields().cardTypeText, fields().promptVersionText};
    }
    Shown lastPushed() const {
        const DialogFields& pushed = desktop.lastFields();
        return {pushed.statusText, pushed.deviceText, pushed.cardTypeText, pushed.promptVersionText};
    }
    // The fields hold expected, and the window was last given the same.
    void ExpectShown(const Shown& expected) const {
        EXPECT_EQ(shown(), expected);
        EXPECT_EQ(lastPushed(), expected);
    }
    // The transcript lines after the last drive chooser.
    std::vector<std::string> linesAfterChooser() const {
        const auto& lines = desktop.transcript();
        std::size_t chooser = lines.size();
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].starts_with("chooser ")) chooser = i;
        }
        if (chooser == lines.size()) return {};
        return {lines.begin() + static_cast<std::ptrdiff_t>(chooser) + 1, lines.end()};
    }
    std::array<std::uint32_t, devices::kSlotCount> sizes() const { return dialog->slotSizesMB(); }
};

const Shown kCardE{std::string(text::kReady), "VMCARD (E:)", std::string(text::kVocell8Hour), "1.31"};

// ---- What each outcome of the chooser leaves in the fields ----

TEST_F(CardSelectionTest, ChosenCardIsShownReadyWithLabelTypeAndVersion) {
    AddCard('E', "VMCARD", "0131");
    Start();
    Select(0);
    ExpectShown(kCardE);
    EXPECT_EQ(desktop.Pane(0), text::kReady);
    EXPECT_EQ(sizes()[0], 125u);
    EXPECT_EQ(dialog->deviceSlots().deviceIndex, 0);
    EXPECT_TRUE(messages().empty());
}

TEST_F(CardSelectionTest, CancelledChooserOnlyShowsTheFieldsAgainAndOkOnNoneChangesNothing) {
    AddCard('E');
    Start();
    Select(0);
    desktop.AnswerChooser(std::nullopt);
    dialog->SelectCard();
    EXPECT_EQ(linesAfterChooser(), (std::vector<std::string>{"push", "repaint"}));
    ExpectShown(kCardE);

    machine.volumes().RemoveDrive('E');
    ASSERT_TRUE(dialog->OnDeviceChange(devices::DeviceEvent::RemoveComplete));
    Select(0);
    EXPECT_EQ(desktop.chooserEntries(), std::vector<std::string>{"None"});
    EXPECT_TRUE(linesAfterChooser().empty());  // not even a push
    EXPECT_EQ(shown(), kCardE);
    EXPECT_TRUE(messages().empty());
}

TEST_F(CardSelectionTest, NoEntrySelectedOrADriveWithoutMediumClearsTheFields) {
    AddCard('E');
    Start();
    Select(0);
    Select(-1);
    ExpectShown(kNoCard);
    EXPECT_EQ(desktop.transcript().back(), "repaint");
    EXPECT_TRUE(messages().empty());

    Select(0);
    machine.volumes().EjectMedium('E');
    Select(0);
    EXPECT_EQ(messages(), std::vector<std::string>{std::string(text::kNoMediaPresent)});  // once
    ExpectShown(kNoCard);
}

TEST_F(CardSelectionTest, CardWithoutPromptsShowsNoPrompts) {
    AddCard('E', "VMCARD", std::nullopt);
    Start();
    Select(0);
    EXPECT_EQ(shown(), (Shown{std::string(text::kReady), "VMCARD (E:)", std::string(text::kVocell8Hour),
                              std::string(text::kNoPrompts)}));
    EXPECT_TRUE(messages().empty());
}

// ---- The chooser's entries ----

TEST_F(CardSelectionTest, ChooserNamesDrivesByLabelOrAsRemovableDisk) {
    AddCard('E', "VMCARD");
    AddCard('F', "");
    Start();
    Select(1);
    EXPECT_EQ(desktop.chooserEntries(), (std::vector<std::string>{"VMCARD (E:)", "Removable Disk (F:)"}));
    EXPECT_EQ(desktop.chooserSelected(), 0);
    EXPECT_EQ(fields().deviceText, "Removable Disk (F:)");
    EXPECT_EQ(dialog->deviceSlots().deviceIndex, 1);
    EXPECT_EQ(sizes(), (std::array<std::uint32_t, devices::kSlotCount>{0, 125, 0, 0, 0, 0}));
}

// ---- Card type and size ----

TEST_F(CardSelectionTest, CardTypeIsEightHourFor115To140DecimalMegabytes) {
    AddCard('E');
    Start();
    const struct {
        ClusterGeometry geometry;
        std::uint32_t sizeMB;
        std::string_view type;
    } cases[] = {
        {{1, 1, 125'000'000}, 125, text::kVocell8Hour},
        {kCard125MB, 125, text::kVocell8Hour},
        {{1, 1, 115'000'000}, 115, text::kVocell8Hour},
        {{1, 1, 140'999'999}, 140, text::kVocell8Hour},
        {{1, 1, 114'999'999}, 114, text::kUnknownCardType},
        {{1, 1, 141'000'000}, 141, text::kUnknownCardType},
        {{8, 1000, 1'000'000}, 8000, text::kUnknownCardType},  // 8 GB
        // 4 GiB + 125,000,000 bytes: kept to 32 bits it would pass for an 8 hour card.
        {{64, 1, 69'061'989}, 4419, text::kUnknownCardType},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("expected " + std::to_string(c.sizeMB) + " MB");
        machine.volumes().SetGeometry('E', c.geometry);
        Select(0);
        EXPECT_EQ(sizes()[0], c.sizeMB);
        EXPECT_EQ(fields().cardTypeText, c.type);
        EXPECT_EQ(desktop.lastFields().cardTypeText, c.type);
    }
}

// ---- Failed capacity and label queries ----

TEST_F(CardSelectionTest, FailedCapacityQueryGivesSizeZeroAndUnknownTypeFailedLabelQueryRemovableDisk) {
    AddCard('E', "VMCARD");
    Start();
    Select(0);
    ASSERT_EQ(sizes()[0], 125u);
    machine.volumes().FailGeometry('E');
    Select(0);
    EXPECT_EQ(sizes()[0], 0u);
    EXPECT_EQ(shown(),
              (Shown{std::string(text::kReady), "VMCARD (E:)", std::string(text::kUnknownCardType), "1.31"}));

    machine.volumes().FailLabel('E');
    Select(0);
    EXPECT_EQ(desktop.chooserEntries(), std::vector<std::string>{"Removable Disk (E:)"});
    EXPECT_EQ(fields().deviceText, "Removable Disk (E:)");
    EXPECT_EQ(dialog->currentVolumeLabel(), "");
    EXPECT_EQ(fields().statusText, text::kReady);
    EXPECT_TRUE(messages().empty());
}

// ---- A drive that goes while the chooser is open ----

TEST_F(CardSelectionTest, ChosenDriveUnpluggedWhileTheChooserIsOpenLeavesNoCardSelected) {
    AddCard('E');
    AddCard('F');
    Start();
    Select(0);
    desktop.DuringNextModal([this] {
        machine.volumes().RemoveDrive('F');
        dialog->OnDeviceChange(devices::DeviceEvent::RemoveComplete);
    });
    Select(1);
    ExpectShown(kNoCard);
    EXPECT_EQ(sizes(), (std::array<std::uint32_t, devices::kSlotCount>{125, 0, 0, 0, 0, 0}));
    EXPECT_GE(dialog->deviceSlots().deviceIndex, devices::kNoItem);
    EXPECT_LT(dialog->deviceSlots().deviceIndex, devices::kSlotCount);
    EXPECT_EQ(desktop.pendingAnswers(), 0u);
}

TEST_F(CardSelectionTest, OnlyDriveUnpluggedUnnoticedWhileTheChooserIsOpenLeavesNoCardSelected) {
    AddCard('E');
    Start();
    desktop.DuringNextModal([this] { machine.volumes().RemoveDrive('E'); });
    Select(0);
    ExpectShown(kNoCard);
    EXPECT_EQ(sizes(), (std::array<std::uint32_t, devices::kSlotCount>{}));
    EXPECT_EQ(desktop.pendingAnswers(), 0u);
}

}  // namespace
}  // namespace vocell::test
