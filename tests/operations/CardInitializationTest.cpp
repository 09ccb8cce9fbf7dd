#include "app/DialogLayout.h"
#include "tests/support/DialogFixture.h"

namespace vocell::test {
namespace {

class CardInitializationTest : public DialogTest {
protected:
    void Initialize(std::optional<MessageAnswer> answer) {
        if (answer) desktop.AnswerMessage(*answer);
        dialog->OnCommand(ControlId::Initialize);
    }
};

TEST_F(CardInitializationTest, NoAtTheFirstQuestionShowsNoNoticeAndNoFormatDialog) {
    AddCard('E');
    StartWithCardSelected();
    Initialize(MessageAnswer::No);
    EXPECT_EQ(messages(), std::vector<std::string>{std::string(text::kReformatQuestion)});
    EXPECT_TRUE(desktop.FilterTranscript("format").empty());
}

TEST_F(CardInitializationTest, FormatsTheSelectedDriveAndInstallsTheInitialStructure) {
    AddCard('E', "VOICE");
    machine.PutOnDrive('E', "VM/MSGS/OLD.WAV", "old message");
    StartWithCardSelected();
    Initialize(MessageAnswer::Yes);
    EXPECT_EQ(messages(), (std::vector<std::string>{std::string(text::kReformatQuestion),
                                                    std::string(text::kFormatNotice)}));
    EXPECT_EQ(desktop.FilterTranscript("format"),
              std::vector<std::string>{"format 4"});  // E: counted from A: = 0
    EXPECT_FALSE(machine.ExistsOnDrive('E', "VM/MSGS/OLD.WAV"));
    EXPECT_EQ(machine.ReadOnDrive('E', "VM/PROMPTS/0/0/0/VERSION.TXT"), "0131");
    EXPECT_EQ(fields().deviceText, "VOICE (E:)");  // the label after the format
    EXPECT_EQ(fields().promptVersionText, "1.31");
    EXPECT_EQ(desktop.Pane(0), text::kReady);
    EXPECT_EQ(desktop.busyDepth(), 0);
}

TEST_F(CardInitializationTest, FormatDialogClosedWithoutFormattingInstallsNothing) {
    AddCard('E');
    machine.PutOnDrive('E', "VM/MSGS/KEEP.WAV", "kept");
    machine.volumes().SetFormatClosesWithoutFormatting(true);
    StartWithCardSelected();
    Initialize(MessageAnswer::Yes);
    EXPECT_EQ(machine.ReadOnDrive('E', "VM/MSGS/KEEP.WAV"), "kept");
    EXPECT_EQ(machine.ReadOnDrive('E', "VM/PROMPTS/0/0/1/WELCOME.WAV"), "card prompt 0131");
    const auto activity = desktop.FilterTranscript("pane 0: ");
    ASSERT_GE(activity.size(), 2u);
    EXPECT_NE(std::find(activity.begin(), activity.end(), "pane 0: Installing Prompts"), activity.end());
    EXPECT_EQ(activity.back(), "pane 0: Ready");
    EXPECT_EQ(messages().size(), 2u);  // the question and the notice, no completion message
}

TEST_F(CardInitializationTest, MissingInitialStructureIsReportedAndNothingIsExtracted) {
    AddCard('E');
    StartWithCardSelected();
    std::filesystem::remove(machine.installFolder() / "Data" / "InitializedFileStruct.vcb");
    Initialize(MessageAnswer::Yes);
    EXPECT_EQ(messages().back(), text::kInitialStructureMissing);
    EXPECT_FALSE(machine.ExistsOnDrive('E', "VM"));
    EXPECT_EQ(desktop.Pane(0), text::kReady);
}

TEST_F(CardInitializationTest, NeverFormatsADriveThatTookTheSelectedSlotDuringTheQuestions) {
    AddCard('F', "SECOND");
    StartWithCardSelected();
    desktop.DuringNextModal([&] { AddCard('E', "FIRST", "0120"); });
    Initialize(MessageAnswer::Yes);
    EXPECT_TRUE(desktop.FilterTranscript("format").empty());
    EXPECT_EQ(messages().back(), text::kPleaseSelectDevice);
    EXPECT_EQ(fields().statusText, text::kCardNotSelected);
    EXPECT_EQ(machine.ReadOnDrive('E', "VM/PROMPTS/0/0/0/VERSION.TXT"), "0120");
}

}  // namespace
}  // namespace vocell::test
