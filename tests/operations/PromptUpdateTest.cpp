#include "app/DialogLayout.h"
#include "operations/InstallFolders.h"
#include "tests/support/DialogFixture.h"

namespace vocell::test {
namespace {

const std::string kPackage = "C:\\Harlo\\Vocell\\Prompts\\PromptUpdateVer1_3_1.vcp";

class PromptUpdateTest : public DialogTest {
protected:
    void Update(std::optional<MessageAnswer> answer) {
        desktop.AnswerOpenDialog(kPackage);
        if (answer) desktop.AnswerMessage(*answer);
        dialog->OnCommand(ControlId::Update);
    }
};

TEST_F(PromptUpdateTest, YesReplacesOnlyThePromptFolder) {
    AddCard('E', "VMCARD", "0110");
    machine.PutOnDrive('E', "VM/PROMPTS/0/3/1/STALE.WAV", "stale");
    machine.PutOnDrive('E', "VM/MSGS/M1.WAV", "message");
    StartWithCardSelected();
    Update(MessageAnswer::Yes);

    EXPECT_EQ(desktop.openSettings(), OpenDialogFor("C:\\Harlo\\Vocell\\Prompts\\", "*.vcp"));
    EXPECT_EQ(messages().at(0),
              "The Vocell Card prompts are version 1.10.\nThe file you are about to install contains "
              "version 1.31.\n\nOverwrite the existing prompts?");
    EXPECT_EQ(messages().back(), text::kPromptUpdateComplete);
    EXPECT_FALSE(machine.ExistsOnDrive('E', "VM/PROMPTS/0/3/1/STALE.WAV"));
    EXPECT_EQ(machine.ReadOnDrive('E', "VM/PROMPTS/0/3/0/VERSION.TXT"), "0131");
    EXPECT_EQ(machine.ReadOnDrive('E', "VM/MSGS/M1.WAV"), "message");
    EXPECT_EQ(fields().promptVersionText, "1.31");
    EXPECT_EQ(desktop.Pane(0), text::kReady);
    EXPECT_EQ(desktop.busyDepth(), 0);
    const auto activity = desktop.FilterTranscript("pane 0: ");
    const std::vector<std::string> expectedTail{"pane 0: Deleting Old Prompts", "pane 0: Updating Prompts",
                                                "pane 0: Verifying Data", "pane 0: Finalizing",
                                                "pane 0: Ready"};
    auto at = std::search(activity.begin(), activity.end(), expectedTail.begin(), expectedTail.end());
    EXPECT_NE(at, activity.end());
}

TEST_F(PromptUpdateTest, EqualVersionsAreStillAsked) {
    AddCard('E', "VMCARD", "0131");
    StartWithCardSelected();
    Update(MessageAnswer::No);
    EXPECT_EQ(desktop.FilterTranscript("question(yes/no): ").size(), 1u);
}

TEST_F(PromptUpdateTest, CardWithoutPromptsGetsTheInstallQuestion) {
    AddCard('E', "VMCARD", std::nullopt);
    StartWithCardSelected();
    Update(MessageAnswer::Yes);
    EXPECT_EQ(messages().at(0), "There are no prompts on the Vocell Card.  Install version 1.31?");
    EXPECT_EQ(fields().promptVersionText, "1.31");
}

TEST_F(PromptUpdateTest, NoLeavesTheCardAndRemovesTheBusyCursor) {
    AddCard('E', "VMCARD", "0110");
    StartWithCardSelected();
    Update(MessageAnswer::No);
    EXPECT_EQ(machine.ReadOnDrive('E', "VM/PROMPTS/0/0/0/VERSION.TXT"), "0110");
    EXPECT_EQ(desktop.busyDepth(), 0);
    EXPECT_EQ(messages().size(), 1u);
}

TEST_F(PromptUpdateTest, CancellingTheOpenDialogEndsWithoutTouchingTheStatusBar) {
    AddCard('E');
    StartWithCardSelected();
    desktop.AnswerOpenDialog(std::nullopt);
    dialog->OnCommand(ControlId::Update);
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(desktop.Pane(0), text::kReady);
}

}  // namespace
}  // namespace vocell::test
