// The main dialog from its initialisation on: what the user sees first, the prompt-package
// check, the status bar, the about box, OK and Cancel, and the AutoPlay query.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "app/DialogLayout.h"
#include "operations/InstallFolders.h"
#include "tests/support/DialogFixture.h"

namespace vocell::test {
namespace {


class StartupTest : public DialogTest {
protected:
    // Position of the first transcript line equal to line; the transcript's size if none is.
    std::size_t LineIndex(const std::string& line) const {
        const auto& lines = desktop.transcript();
        return static_cast<std::size_t>(std::find(lines.begin(), lines.end(), line) - lines.begin());
    }
    bool HasLine(const std::string& line) const { return LineIndex(line) < desktop.transcript().size(); }
    std::vector<std::string> LastLines(std::size_t count) const {
        const auto& lines = desktop.transcript();
        const std::size_t from = lines.size() > count ? lines.size() - count : 0;
        return {lines.begin() + static_cast<std::ptrdiff_t>(from), lines.end()};
    }
    void expectNoCardShown() const {
        EXPECT_EQ(fields().statusText, text::kCardNotSelected);
        EXPECT_EQ(fields().deviceText, "");
        EXPECT_EQ(fields().cardTypeText, "");
        EXPECT_EQ(fields().promptVersionText, "");
        EXPECT_EQ(desktop.lastFields().statusText, text::kCardNotSelected);
        EXPECT_EQ(desktop.lastFields().deviceText, "");
        EXPECT_EQ(desktop.lastFields().cardTypeText, "");
        EXPECT_EQ(desktop.lastFields().promptVersionText, "");
    }
    static std::string ShownMessage(std::string_view text) { return "message: " + std::string(text); }
};

// ---- What the user sees after start-up ----

TEST_F(StartupTest, WithoutARemovableDriveAsksForACardAndShowsNoCard) {
    Start();
    EXPECT_EQ(desktop.Pane(0), text::kInsertCard);
    EXPECT_EQ(desktop.Pane(1), "");
    expectNoCardShown();
    EXPECT_EQ(dialog->deviceSlots().slotLetters[0], devices::kNoDrive);
    EXPECT_TRUE(desktop.lastFields().deviceItems.empty());
    EXPECT_TRUE(messages().empty());
    EXPECT_FALSE(desktop.endedWith());
}

TEST_F(StartupTest, ReaderHoldingACardIsReadyYetNothingOfTheCardShowsBeforeSelect) {
    AddCard('E', "VMCARD", "0131");
    Start();
    EXPECT_EQ(desktop.Pane(0), text::kReady);
    expectNoCardShown();  // the version the start-up refresh read is not shown
    EXPECT_EQ(desktop.lastFields().deviceItems, std::vector<std::string>{"E:\\"});
    EXPECT_EQ(desktop.lastFields().deviceSelection, 0);
    EXPECT_TRUE(messages().empty());
}

TEST_F(StartupTest, EmptyReaderIsReadyToo) {
    machine.volumes().AddDrive('E', DriveType::Removable, false);
    Start();
    EXPECT_EQ(desktop.Pane(0), text::kReady);
    expectNoCardShown();
    EXPECT_TRUE(messages().empty());  // no medium is no concern before Select
}

// ---- The prompt package ----

TEST_F(StartupTest, MissingPromptPackageAsksForReinstallAndEndsTheDialog) {
    machine.RemoveInstalled("Prompts/PromptUpdateVer1_3_1.vcp");
    Start();
    EXPECT_EQ(messages(), std::vector<std::string>{std::string(text::kReinstallApplication)});
    EXPECT_EQ(desktop.endedWith(), true);
    const std::size_t shown = LineIndex(ShownMessage(text::kReinstallApplication));
    EXPECT_EQ(LineIndex("end dialog ok"), shown + 1);
    // Initialisation still runs to its end.
    EXPECT_EQ(LastLines(2), (std::vector<std::string>{"push", "repaint"}));
    expectNoCardShown();
}

TEST_F(StartupTest, MissingPromptsFolderIsReportedTheSameWay) {
    AddCard('E');
    machine.RemoveInstalled("Prompts");
    Start();
    EXPECT_EQ(messages(), std::vector<std::string>{std::string(text::kReinstallApplication)});
    EXPECT_EQ(desktop.endedWith(), true);
}

TEST_F(StartupTest, PackageThatExistsButCannotBeOpenedIsNoObstacle) {
    FaultInjectingFileSystem locked(machine.fileSystem());
    locked.FailOpenRead(std::string(operations::kPromptPackage), FsError::AccessDenied);
    Start(&locked);
    EXPECT_TRUE(messages().empty());
    EXPECT_FALSE(desktop.endedWith());
    expectNoCardShown();
}

TEST_F(StartupTest, OnlyThePromptPackageIsCheckedNotTheOtherInstallFolders) {
    machine.RemoveInstalled("Backup");
    machine.RemoveInstalled("Data");
    Start();
    EXPECT_TRUE(messages().empty());
    EXPECT_FALSE(desktop.endedWith());
}

// ---- The status bar ----

TEST_F(StartupTest, StatusBarThatCannotBeCreatedIsReportedAndTheDialogGoesOn) {
    desktop.FailStatusBar();
    AddCard('E');
    Start();
    const auto& lines = desktop.transcript();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "push");
    EXPECT_EQ(lines[1], "status bar failed");
    EXPECT_EQ(lines[2], ShownMessage(text::kStatusBarNotCreated));
    EXPECT_EQ(messages(), std::vector<std::string>{std::string(text::kStatusBarNotCreated)});
    EXPECT_FALSE(desktop.endedWith());
    expectNoCardShown();

    Select(0);
    EXPECT_EQ(fields().statusText, text::kReady);
    EXPECT_EQ(fields().deviceText, "VMCARD (E:)");
    EXPECT_EQ(messages().size(), 1u);
    EXPECT_TRUE(desktop.FilterTranscript("pane").empty());
}

TEST_F(StartupTest, PanesEndAtAQuarterOfTheWindowWidthAndAtItsWholeThirds) {
    const struct {
        Rect window;
        std::string layout;
    } cases[] = {
        {{0, 0, 600, 400}, "panes 150,600 height 25"},    {{0, 0, 602, 400}, "panes 150,600 height 25"},
        {{100, 40, 702, 440}, "panes 150,600 height 25"},  // the width, not the right edge
        {{0, 0, 603, 400}, "panes 150,603 height 25"},    {{0, 0, 604, 400}, "panes 151,603 height 25"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.layout + " for a window " + std::to_string(c.window.width()) + " wide");
        desktop.SetWindowRect(c.window);
        Start();
        const auto layouts = desktop.FilterTranscript("panes ");
        ASSERT_FALSE(layouts.empty());
        EXPECT_EQ(layouts.back(), c.layout);
    }
}

TEST_F(StartupTest, StatusBarLiesAlongTheBottom25PixelsOfTheWindow) {
    EXPECT_EQ(StatusBarArea(Rect{100, 40, 702, 440}), (Rect{100, 415, 702, 440}));
}

TEST_F(StartupTest, InitialisationLaysOutTheStatusBarBeforeTheRescanAndShowsTheFieldsLast) {
    AddCard('E');
    Start();
    const std::size_t created = LineIndex("status bar created");
    const std::size_t layout = LineIndex("panes 150,600 height 25");
    const std::size_t detail = LineIndex("pane 1: ");
    const std::size_t activity = LineIndex("pane 0: Ready");
    EXPECT_EQ(desktop.transcript().front(), "push");
    EXPECT_LT(created, layout);
    EXPECT_LT(layout, detail);
    EXPECT_LT(detail, activity);
    EXPECT_LT(activity, desktop.transcript().size());
    EXPECT_EQ(LastLines(2), (std::vector<std::string>{"push", "repaint"}));
    EXPECT_EQ(desktop.Pane(1), "");
}

TEST_F(StartupTest, PackageCheckComesAfterTheActivityPaneIsSet) {
    machine.RemoveInstalled("Prompts/PromptUpdateVer1_3_1.vcp");
    Start();
    ASSERT_TRUE(HasLine("pane 0: Insert Card"));
    EXPECT_LT(LineIndex("pane 0: Insert Card"), LineIndex(ShownMessage(text::kReinstallApplication)));
}

// ---- System menu, OK and Cancel ----

TEST_F(StartupTest, AboutBoxOpensForCommand16WhateverItsLowFourBits) {
    Start();
    const struct {
        std::uint32_t command;
        std::size_t aboutBoxesAfter;
    } cases[] = {{16, 1}, {0x13, 2}, {0x1F, 3}, {0x20, 3}, {0x0F, 3}, {0xF060, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE("system command " + std::to_string(c.command));
        dialog->OnSysCommand(c.command);
        EXPECT_EQ(desktop.FilterTranscript("about").size(), c.aboutBoxesAfter);
    }
    EXPECT_FALSE(desktop.endedWith());
}

TEST_F(StartupTest, OkReadsTheDeviceListBackAndEndsTheDialog) {
    Start();
    ASSERT_EQ(dialog->deviceSlots().deviceIndex, 0);
    dialog->OnCommand(ControlId::Ok);
    EXPECT_EQ(desktop.endedWith(), true);
    EXPECT_EQ(desktop.transcript().back(), "end dialog ok");
    // The empty device list has no selection, which the pull reads back.
    EXPECT_EQ(dialog->deviceSlots().deviceIndex, devices::kNoItem);
}

TEST_F(StartupTest, OkWithTheCardsItemSelectedKeepsItsSlot) {
    AddCard('E');
    Start();
    dialog->OnCommand(ControlId::Ok);
    EXPECT_EQ(desktop.endedWith(), true);
    EXPECT_EQ(dialog->deviceSlots().deviceIndex, 0);
}

TEST_F(StartupTest, CancelEndsTheDialogWithoutReadingTheControls) {
    Start();
    dialog->OnCommand(ControlId::Cancel);
    EXPECT_EQ(desktop.endedWith(), false);
    EXPECT_EQ(desktop.transcript().back(), "end dialog cancel");
    EXPECT_EQ(dialog->deviceSlots().deviceIndex, 0);
}

// ---- The AutoPlay query ----

TEST_F(StartupTest, AutoPlayQueryIsAnsweredWithOneAfterARescan) {
    Start();
    AddCard('E');  // arrives without a device notification
    const int pushes = desktop.pushCount();
    EXPECT_EQ(dialog->OnQueryCancelAutoPlay(), 1);
    EXPECT_EQ(dialog->deviceSlots().slotRoots[0], "E:\\");
    EXPECT_EQ(dialog->deviceSlots().slotLetters[0], 2);
    EXPECT_GT(desktop.pushCount(), pushes);
    EXPECT_EQ(desktop.lastFields().deviceItems, std::vector<std::string>{"E:\\"});
    EXPECT_EQ(desktop.lastFields().deviceSelection, 0);
    EXPECT_TRUE(messages().empty());
}

}  // namespace
}  // namespace vocell::test
