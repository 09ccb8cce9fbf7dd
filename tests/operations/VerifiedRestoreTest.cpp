// A restore reads what it wrote back from the medium before it calls the card restored: a file
// the card gives back otherwise is named, the card keeps its mark, and "Restore Complete." is not
// shown. Only what the restore wrote is read back, and not at all when the user said not to.

#include "app/DialogLayout.h"
#include "tests/support/ArchiveBuilder.h"
#include "tests/support/DialogFixture.h"

namespace vocell::test {
namespace {

class VerifiedRestoreTest : public DialogTest {
protected:
    void SetUp() override {
        AddCard('E', "VMCARD", "0131");
        ArchiveBuilder("1.31")
            .Tree("VM/PROMPTS/0/0/1/WELCOME.WAV", "archive prompt")
            .Tree("VM/MSGS/M1.WAV", "message one")
            .Tree("VM/MSGS/M2.WAV", std::string(200'000, 'm'))
            .WriteTo(BackupFile("b.vcb"));
        StartWithCardSelected(&faulty);
    }
    void Restore() {
        desktop.AnswerOpenDialog(BackupPath("b.vcb"));
        dialog->OnCommand(ControlId::Restore);
    }

    FaultInjectingFileSystem faulty{machine.fileSystem()};
};

TEST_F(VerifiedRestoreTest, EveryFileWrittenIsReadBackFromTheMediumAndTheCardIsThenRestored) {
    Restore();
    EXPECT_EQ(messages().back(), text::kRestoreComplete);
    EXPECT_EQ(faulty.mediumReads(), 2);  // the messages; the card's own prompts were kept
    const auto activity = desktop.FilterTranscript("pane 0: ");
    const std::vector<std::string> order{"pane 0: Restoring Data", "pane 0: Verifying Data", "pane 0: Ready"};
    EXPECT_NE(std::search(activity.begin(), activity.end(), order.begin(), order.end()), activity.end());
}

TEST_F(VerifiedRestoreTest, AFileTheCardGivesBackOtherwiseIsNamedAndTheCardStaysMarked) {
    faulty.GarbleOnMedium("E:\\\\VM\\\\MSGS\\M2.WAV");
    Restore();
    ASSERT_FALSE(messages().empty());
    EXPECT_EQ(messages().back().rfind(text::kEntriesNotReadBack, 0), 0u) << messages().back();
    EXPECT_NE(messages().back().find("M2.WAV"), std::string::npos);
    EXPECT_EQ(messages().back().find("M1.WAV"), std::string::npos);
    EXPECT_EQ(std::count(messages().begin(), messages().end(), text::kRestoreComplete), 0);
    EXPECT_EQ(dialog->lastOutcome()->kind, operations::OutcomeKind::Partial);
    EXPECT_TRUE(machine.ExistsOnDrive('E', "VOCELL-RESTORE-INTERRUPTED.TXT"));
}

TEST_F(VerifiedRestoreTest, NothingIsReadBackWhenTheUserSaidNotTo) {
    faulty.GarbleOnMedium("E:\\\\VM\\\\MSGS\\M2.WAV");
    dialog->SetVerifyWrites(false);
    Restore();
    EXPECT_EQ(messages().back(), text::kRestoreComplete);
    EXPECT_EQ(faulty.mediumReads(), 0);
    EXPECT_TRUE(desktop.FilterTranscript("pane 0: Verifying Data").empty());
}

}  // namespace
}  // namespace vocell::test
