// The main dialog from its initialisation on: what the user sees first, the prompt-package
// check, the status bar, the about box, OK and Cancel, and the AutoPlay query.

#include <string>
#include <vector>

#include "app/DialogLayout.h"
#include "operations/InstallFolders.h"
#include "tests/support/DialogFixture.h"

namespace vocell::test {
namespace {

class StartupTest : public DialogTest {
protected:
    void ExpectNoCardShown() const {
        EXPECT_EQ(desktop.lastFields().statusText, text::kCardNotSelected);
        EXPECT_EQ(desktop.lastFields().deviceText, "");
        EXPECT_EQ(desktop.lastFields().cardTypeText, "");
        EXPECT_EQ(desktop.lastFields().promptVersionText, "");
    }
};

// ---- What the user sees after start-up ----

TEST_F(StartupTest, WithoutARemovableDriveAsksForACardAndShowsNoCard) {
    Start();
    EXPECT_EQ(desktop.Pane(0), text::kInsertCard);
    EXPECT_EQ(desktop.Pane(1), "");
    ExpectNoCardShown();
    EXPECT_EQ(dialog->deviceSlots().slotLetters[0], devices::kNoDrive);
    EXPECT_TRUE(desktop.lastFields().deviceItems.empty());
    EXPECT_TRUE(messages().empty());
    EXPECT_FALSE(desktop.endedWith());
}

TEST_F(StartupTest, ReaderIsReadyWithOrWithoutACardYetNothingOfTheCardShowsBeforeSelect) {
    AddCard('E', "VMCARD", "0131");
    for (bool medium : {true, false}) {
        SCOPED_TRACE(medium ? "card" : "empty reader");
        if (!medium) machine.volumes().EjectMedium('E');
        Start();
        EXPECT_EQ(desktop.Pane(0), text::kReady);
        ExpectNoCardShown();  // the version the start-up refresh read is not shown
        EXPECT_EQ(desktop.lastFields().deviceItems, std::vector<std::string>{"E:\\"});
        EXPECT_EQ(desktop.lastFields().deviceSelection, 0);
        EXPECT_TRUE(messages().empty());  // no medium is no concern before Select
    }
}

// ---- The prompt package ----

TEST_F(StartupTest, MissingPromptPackageAsksForReinstallAndEndsTheDialog) {
    machine.RemoveInstalled("Prompts/PromptUpdateVer1_3_1.vcp");
    Start();
    EXPECT_EQ(messages(), std::vector<std::string>{std::string(text::kReinstallApplication)});
    EXPECT_EQ(desktop.endedWith(), true);
    ExpectNoCardShown();  // initialisation still runs to its end
}

TEST_F(StartupTest, PackageThatCannotBeOpenedAndMissingOtherInstallFoldersAreNoObstacle) {
    FaultInjectingFileSystem locked(machine.fileSystem());
    locked.FailOpenRead(std::string(operations::kPromptPackage), FsError::AccessDenied);
    machine.RemoveInstalled("Backup");
    machine.RemoveInstalled("Data");
    Start(&locked);
    EXPECT_TRUE(messages().empty());
    EXPECT_FALSE(desktop.endedWith());
    ExpectNoCardShown();
}

// ---- The status bar ----

TEST_F(StartupTest, StatusBarThatCannotBeCreatedIsReportedAndTheDialogGoesOn) {
    desktop.FailStatusBar();
    AddCard('E');
    Start();
    EXPECT_EQ(messages(), std::vector<std::string>{std::string(text::kStatusBarNotCreated)});
    EXPECT_FALSE(desktop.endedWith());
    ExpectNoCardShown();

    Select(0);
    EXPECT_EQ(fields().statusText, text::kReady);
    EXPECT_EQ(fields().deviceText, "VMCARD (E:)");
    EXPECT_EQ(messages().size(), 1u);
    dialog->OnDpiChanged();
    EXPECT_TRUE(desktop.FilterTranscript("pane").empty());
}

TEST_F(StartupTest, StatusBarIsTwentyFivePixelsAt96DotsPerInchAndScalesWithTheWindow) {
    desktop.PlaceWindow({0, 0, 600, 400}, kDefaultDpi);
    Start();
    EXPECT_EQ(desktop.FilterTranscript("status bar"),
              std::vector<std::string>{"status bar created 0,375,600,400"});
    EXPECT_EQ(desktop.FilterTranscript("panes"), std::vector<std::string>{"panes 150,600 height 25"});

    // At 150 % the window is as much larger, and so is the bar; the panes end at the same shares.
    desktop.PlaceWindow({100, 50, 1002, 650}, 144);
    dialog->OnDpiChanged();
    EXPECT_EQ(desktop.FilterTranscript("panes").back(), "panes 225,900 height 38");
    desktop.PlaceWindow({0, 0, 602, 400}, 120);
    Start();
    EXPECT_EQ(desktop.FilterTranscript("status bar").back(), "status bar created 0,369,602,400");
    EXPECT_EQ(desktop.FilterTranscript("panes").back(), "panes 150,600 height 31");
}

// ---- System menu, OK and Cancel ----

TEST_F(StartupTest, SystemCommand16OpensTheAboutBoxOthersDoNot) {
    Start();
    dialog->OnSysCommand(16);
    dialog->OnSysCommand(0xF060);  // SC_CLOSE is the window system's own
    EXPECT_EQ(desktop.FilterTranscript("about").size(), 1u);
    EXPECT_FALSE(desktop.endedWith());
}

TEST_F(StartupTest, OkReadsTheDeviceListBackCancelDoesNotAndBothEndTheDialog) {
    Start();
    dialog->OnCommand(ControlId::Cancel);
    EXPECT_EQ(desktop.endedWith(), false);
    EXPECT_EQ(desktop.transcript().back(), "end dialog cancel");
    EXPECT_EQ(dialog->deviceSlots().deviceIndex, 0);

    Start();
    ASSERT_EQ(dialog->deviceSlots().deviceIndex, 0);
    dialog->OnCommand(ControlId::Ok);
    EXPECT_EQ(desktop.endedWith(), true);
    EXPECT_EQ(desktop.transcript().back(), "end dialog ok");
    // The empty device list has no selection, which the pull reads back.
    EXPECT_EQ(dialog->deviceSlots().deviceIndex, devices::kNoItem);
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
