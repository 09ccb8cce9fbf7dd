#include "app/DialogLayout.h"
#include "operations/InstallFolders.h"
#include "tests/app/DialogFixture.h"

namespace vocell::test {
namespace {

const std::string kPackage = "C:\\Harlo\\Vocell\\Prompts\\PromptUpdateVer1_3_1.vcp";

class PromptUpdateTest : public DialogTest {
protected:
    void update(std::optional<MessageAnswer> answer) {
        desktop.answerOpenDialog(kPackage);
        if (answer) desktop.answerMessage(*answer);
        dialog->OnCommand(ControlId::Update);
    }
};

TEST_F(PromptUpdateTest, WithoutASelectedCardAsksForOneWithoutARefresh) {
    addCard('E');
    start();
    const int pushes = desktop.pushCount();
    dialog->OnCommand(ControlId::Update);
    EXPECT_EQ(messages(), std::vector<std::string>{std::string(text::kPleaseSelectDevice)});
    EXPECT_EQ(desktop.pushCount(), pushes);
}

TEST_F(PromptUpdateTest, TheStatusIsRefreshedBeforeTheMediaTest) {
    addCard('E', "VMCARD", "0110");
    startWithCardSelected();
    machine.volumes().ejectMedium('E');
    dialog->OnCommand(ControlId::Update);
    EXPECT_EQ(messages().back(), text::kNoMediaPresent);
    EXPECT_EQ(fields().promptVersionText, "");  // the refresh ran and found no card
}

TEST_F(PromptUpdateTest, MissingPromptsFolderStopsTheUpdate) {
    addCard('E');
    startWithCardSelected();
    machine.removeInstalled("Prompts");
    dialog->OnCommand(ControlId::Update);
    EXPECT_EQ(messages().back(), text::kPromptsFolderMissing);
    EXPECT_FALSE(desktop.openSettings());
}

TEST_F(PromptUpdateTest, YesReplacesOnlyThePromptFolder) {
    addCard('E', "VMCARD", "0110");
    machine.putOnDrive('E', "VM/PROMPTS/0/3/1/STALE.WAV", "stale");
    machine.putOnDrive('E', "VM/MSGS/M1.WAV", "message");
    startWithCardSelected();
    update(MessageAnswer::Yes);

    EXPECT_EQ(desktop.openSettings(), operations::PromptPackageOpenDialog());
    EXPECT_EQ(desktop.openSettings()->initialFolder, "C:\\Harlo\\Vocell\\Prompts\\");
    EXPECT_EQ(messages().at(0),
              "The Vocell Card prompts are version 1.10.\nThe file you are about to install contains "
              "version 1.31.\n\nOverwrite the existing prompts?");
    EXPECT_EQ(messages().back(), text::kPromptUpdateComplete);
    EXPECT_FALSE(machine.existsOnDrive('E', "VM/PROMPTS/0/3/1/STALE.WAV"));
    EXPECT_EQ(machine.readOnDrive('E', "VM/PROMPTS/0/3/0/VERSION.TXT"), "0131");
    EXPECT_EQ(machine.readOnDrive('E', "VM/MSGS/M1.WAV"), "message");
    EXPECT_EQ(fields().promptVersionText, "1.31");
    EXPECT_EQ(desktop.pane(0), text::kReady);
    EXPECT_EQ(desktop.busyDepth(), 0);
    const auto activity = desktop.filterTranscript("pane 0: ");
    const std::vector<std::string> expectedTail{"pane 0: Deleting Old Prompts", "pane 0: Updating Prompts",
                                                "pane 0: Finalizing", "pane 0: Ready"};
    auto at = std::search(activity.begin(), activity.end(), expectedTail.begin(), expectedTail.end());
    EXPECT_NE(at, activity.end());
}

TEST_F(PromptUpdateTest, EqualVersionsAreStillAsked) {
    addCard('E', "VMCARD", "0131");
    startWithCardSelected();
    update(MessageAnswer::No);
    EXPECT_EQ(desktop.filterTranscript("question(yes/no): ").size(), 1u);
}

TEST_F(PromptUpdateTest, CardWithoutPromptsGetsTheInstallQuestion) {
    addCard('E', "VMCARD", std::nullopt);
    startWithCardSelected();
    update(MessageAnswer::Yes);
    EXPECT_EQ(messages().at(0), "There are no prompts on the Vocell Card.  Install version 1.31?");
    EXPECT_EQ(fields().promptVersionText, "1.31");
}

TEST_F(PromptUpdateTest, NoLeavesTheCardAndRemovesTheBusyCursor) {
    addCard('E', "VMCARD", "0110");
    startWithCardSelected();
    update(MessageAnswer::No);
    EXPECT_EQ(machine.readOnDrive('E', "VM/PROMPTS/0/0/0/VERSION.TXT"), "0110");
    EXPECT_EQ(desktop.busyDepth(), 0);
    EXPECT_EQ(messages().size(), 1u);
}

TEST_F(PromptUpdateTest, CancellingTheOpenDialogEndsWithoutTouchingTheStatusBar) {
    addCard('E');
    startWithCardSelected();
    desktop.answerOpenDialog(std::nullopt);
    dialog->OnCommand(ControlId::Update);
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(desktop.pane(0), text::kReady);
}

TEST_F(PromptUpdateTest, FullCardSkipsTheCompletionButEndsReady) {
    addCard('E', "VMCARD", "0110");
    FaultInjectingFileSystem faulty(machine.fileSystem());
    startWithCardSelected(&faulty);
    faulty.failWrite(1, FsError::DiskFull, 28);
    update(MessageAnswer::Yes);
    EXPECT_EQ(std::count(messages().begin(), messages().end(), std::string(text::kCardFull)), 1);
    EXPECT_EQ(std::count(messages().begin(), messages().end(), std::string(text::kPromptUpdateComplete)), 0);
    EXPECT_EQ(desktop.pane(0), text::kReady);
}

TEST_F(PromptUpdateTest, NeverDeletesThePromptsOfADriveThatTookTheSelectedSlot) {
    addCard('F', "SECOND", "0110");
    startWithCardSelected();
    desktop.answerOpenDialog(kPackage);
    desktop.duringNextModal([] {});
    desktop.duringNextModal([&] { addCard('E', "FIRST", "0120"); });
    desktop.answerMessage(MessageAnswer::Yes);
    dialog->OnCommand(ControlId::Update);
    EXPECT_EQ(messages().back(), text::kPleaseSelectDevice);
    EXPECT_EQ(machine.readOnDrive('E', "VM/PROMPTS/0/0/0/VERSION.TXT"), "0120");
    EXPECT_EQ(machine.readOnDrive('F', "VM/PROMPTS/0/0/0/VERSION.TXT"), "0110");
    EXPECT_EQ(desktop.busyDepth(), 0);
}

}  // namespace
}  // namespace vocell::test
