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

// Equal versions are still asked; a card without prompts is asked to install them; No leaves it.
TEST_F(PromptUpdateTest, EveryCardIsAskedFirst) {
    const struct {
        std::optional<std::string> card;
        MessageAnswer answer;
        const char* question;
        const char* versionAfter;
    } cases[] = {
        {"0131", MessageAnswer::No, "are version 1.31.\nThe file you are about to install contains", "1.31"},
        {std::nullopt, MessageAnswer::Yes, "There are no prompts on the Vocell Card.  Install version 1.31?",
         "1.31"},
        {"0110", MessageAnswer::No, "are version 1.10.", "1.10"},
    };
    char letter = 'E';
    for (const auto& c : cases) {
        SCOPED_TRACE(c.question);
        AddCard(letter, "VMCARD", c.card);
        if (dialog) machine.volumes().RemoveDrive(static_cast<char>(letter - 1));
        StartWithCardSelected();
        const std::size_t before = messages().size();
        Update(c.answer);
        ASSERT_EQ(messages().size(), before + (c.answer == MessageAnswer::Yes ? 2 : 1));
        EXPECT_NE(messages()[before].find(c.question), std::string::npos) << messages()[before];
        EXPECT_EQ(fields().promptVersionText, c.versionAfter);
        EXPECT_EQ(desktop.busyDepth(), 0);
        if (c.answer == MessageAnswer::No) {
            EXPECT_EQ(machine.ReadOnDrive(letter, "VM/PROMPTS/0/0/0/VERSION.TXT"), *c.card);
        }
        ++letter;
    }
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
