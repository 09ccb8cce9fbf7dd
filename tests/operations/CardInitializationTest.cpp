#include "app/DialogLayout.h"
#include "tests/app/DialogFixture.h"

namespace vocell::test {
namespace {

class CardInitializationTest : public DialogTest {
protected:
    void initialize(std::optional<MessageAnswer> answer) {
        if (answer) desktop.answerMessage(*answer);
        dialog->OnCommand(ControlId::Initialize);
    }
};

TEST_F(CardInitializationTest, WithoutASelectedCardAsksForOneAndNothingElse) {
    addCard('E');
    start();
    initialize(std::nullopt);
    EXPECT_EQ(messages(), std::vector<std::string>{std::string(text::kPleaseSelectDevice)});
    EXPECT_TRUE(machine.volumes().formatRequests().empty());
}

TEST_F(CardInitializationTest, NoAtTheFirstQuestionShowsNoNoticeAndNoFormatDialog) {
    addCard('E');
    startWithCardSelected();
    initialize(MessageAnswer::No);
    EXPECT_EQ(messages(), std::vector<std::string>{std::string(text::kReformatQuestion)});
    EXPECT_TRUE(machine.volumes().formatRequests().empty());
}

TEST_F(CardInitializationTest, FormatsTheSelectedDriveAndInstallsTheInitialStructure) {
    addCard('E', "");
    machine.putOnDrive('E', "VM/MSGS/OLD.WAV", "old message");
    startWithCardSelected();
    initialize(MessageAnswer::Yes);
    EXPECT_EQ(messages(), (std::vector<std::string>{std::string(text::kReformatQuestion),
                                                    std::string(text::kFormatNotice)}));
    EXPECT_EQ(machine.volumes().formatRequests(), std::vector<int>{4});  // E: counted from A: = 0
    EXPECT_FALSE(machine.existsOnDrive('E', "VM/MSGS/OLD.WAV"));
    EXPECT_EQ(machine.readOnDrive('E', "VM/PROMPTS/0/0/0/VERSION.TXT"), "0131");
    EXPECT_EQ(fields().deviceText, "Removable Disk (E:)");
    EXPECT_EQ(fields().promptVersionText, "1.31");
    EXPECT_EQ(desktop.pane(0), text::kReady);
    EXPECT_EQ(desktop.busyDepth(), 0);
}

TEST_F(CardInitializationTest, DeviceFieldShowsTheLabelAfterTheFormat) {
    addCard('E', "VOICE");
    startWithCardSelected();
    initialize(MessageAnswer::Yes);
    EXPECT_EQ(fields().deviceText, "VOICE (E:)");
}

TEST_F(CardInitializationTest, FormatDialogClosedWithoutFormattingInstallsNothing) {
    addCard('E');
    machine.putOnDrive('E', "VM/MSGS/KEEP.WAV", "kept");
    machine.volumes().setFormatClosesWithoutFormatting(true);
    startWithCardSelected();
    initialize(MessageAnswer::Yes);
    EXPECT_EQ(machine.readOnDrive('E', "VM/MSGS/KEEP.WAV"), "kept");
    EXPECT_EQ(machine.readOnDrive('E', "VM/PROMPTS/0/0/1/WELCOME.WAV"), "card prompt 0131");
    const auto activity = desktop.filterTranscript("pane 0: ");
    ASSERT_GE(activity.size(), 2u);
    EXPECT_NE(std::find(activity.begin(), activity.end(), "pane 0: Installing Prompts"), activity.end());
    EXPECT_EQ(activity.back(), "pane 0: Ready");
    EXPECT_EQ(messages().size(), 2u);  // the question and the notice, no completion message
}

TEST_F(CardInitializationTest, MissingInitialStructureIsReportedAndNothingIsExtracted) {
    addCard('E');
    startWithCardSelected();
    std::filesystem::remove(machine.installFolder() / "Data" / "InitializedFileStruct.vcb");
    initialize(MessageAnswer::Yes);
    EXPECT_EQ(messages().back(), text::kInitialStructureMissing);
    EXPECT_FALSE(machine.existsOnDrive('E', "VM"));
    EXPECT_EQ(desktop.pane(0), text::kReady);
}

TEST_F(CardInitializationTest, NeverFormatsADriveThatTookTheSelectedSlotDuringTheQuestions) {
    addCard('F', "SECOND");
    startWithCardSelected();
    desktop.duringNextModal([&] { addCard('E', "FIRST", "0120"); });
    initialize(MessageAnswer::Yes);
    EXPECT_TRUE(machine.volumes().formatRequests().empty());
    EXPECT_EQ(messages().back(), text::kPleaseSelectDevice);
    EXPECT_EQ(fields().statusText, text::kCardNotSelected);
    EXPECT_EQ(machine.readOnDrive('E', "VM/PROMPTS/0/0/0/VERSION.TXT"), "0120");
}

TEST_F(CardInitializationTest, PreChecksComeBeforeTheQuestion) {
    addCard('E');
    startWithCardSelected();
    machine.removeInstalled("Data");
    initialize(std::nullopt);
    EXPECT_EQ(messages().back(), text::kDataFolderMissing);
    machine.volumes().ejectMedium('E');
    initialize(std::nullopt);
    EXPECT_EQ(messages().back(), text::kNoMediaPresent);
}

}  // namespace
}  // namespace vocell::test
