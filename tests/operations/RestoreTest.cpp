#include <utility>

#include "app/DialogLayout.h"
#include "operations/InstallFolders.h"
#include "tests/support/ArchiveBuilder.h"
#include "tests/support/DialogFixture.h"

namespace vocell::test {
namespace {

namespace fs = std::filesystem;

class RestoreTest : public DialogTest {
protected:
    // A backup in the install folder's Backup folder with prompts of version code and a message.
    void PutBackup(const std::string& name, const std::string& version) {
        ArchiveBuilder(version)
            .Tree("VM/PROMPTS/0/0/1/WELCOME.WAV", "archive prompt")
            .Tree("VM/MSGS/M1.WAV", "message")
            .WriteTo(BackupFile(name));
    }
    void Restore(const std::string& name = "b.vcb") {
        desktop.AnswerOpenDialog(BackupPath(name));
        dialog->OnCommand(ControlId::Restore);
    }
    // Card E: with prompts of cardVersion and b.vcb, selected through fileSystem.
    void StartWithBackup(std::optional<std::string> cardVersion = "0110", FileSystem* fileSystem = nullptr) {
        AddCard('E', "VMCARD", std::move(cardVersion));
        PutBackup("b.vcb", "1.31");
        StartWithCardSelected(fileSystem);
    }
    std::string cardPrompt() const { return machine.ReadOnDrive('E', "VM/PROMPTS/0/0/1/WELCOME.WAV"); }
    bool marked() const { return machine.ExistsOnDrive('E', "VOCELL-RESTORE-INTERRUPTED.TXT"); }
};

// The prompt versions of the card and the archive, the question they give and its answer.
struct PromptCase {
    std::optional<std::string> card;  // nothing: a card without prompts
    const char* archive;
    std::optional<MessageAnswer> answer;
    const char* question;  // what the question holds; "" for no question
    const char* promptAfter;
    const char* versionShown;
};
void PrintTo(const PromptCase& c, std::ostream* out) { *out << c.card.value_or("none") << "/" << c.archive; }

class RestorePromptsTest : public RestoreTest, public ::testing::WithParamInterface<PromptCase> {};

TEST_P(RestorePromptsTest, TheQuestionAndItsAnswerDecideThePrompts) {
    const PromptCase& c = GetParam();
    AddCard('E', "VMCARD", c.card);
    machine.PutOnDrive('E', "VM/PROMPTS/0/3/1/ONLY_ON_CARD.WAV", "x");
    PutBackup("b.vcb", c.archive);
    StartWithCardSelected();
    if (c.answer) desktop.AnswerMessage(*c.answer);
    Restore();
    const auto questions = desktop.FilterTranscript("question");
    if (*c.question == '\0') {
        EXPECT_TRUE(questions.empty());
    } else {
        ASSERT_EQ(questions.size(), 1u);
        EXPECT_NE(questions[0].find(c.question), std::string::npos) << questions[0];
    }
    EXPECT_EQ(cardPrompt(), c.promptAfter);
    EXPECT_EQ(machine.ExistsOnDrive('E', "VM/PROMPTS/0/3/1/ONLY_ON_CARD.WAV"),
              cardPrompt() != "archive prompt");
    EXPECT_EQ(fields().promptVersionText, c.versionShown);
    EXPECT_EQ(desktop.openSettings(), OpenDialogFor("C:\\Harlo\\Vocell\\Backup\\", "*.vcb"));
    EXPECT_EQ(desktop.Pane(0), text::kReady);
    EXPECT_EQ(desktop.busyDepth(), 0);
    if (c.answer == MessageAnswer::Cancel) {
        EXPECT_FALSE(machine.ExistsOnDrive('E', "VM/MSGS"));
        EXPECT_EQ(messages().size(), 1u);  // the question only
        return;
    }
    EXPECT_EQ(machine.ReadOnDrive('E', "VM/MSGS/M1.WAV"), "message");
    EXPECT_EQ(messages().back(), text::kRestoreComplete);
    // The bar covers the bottom twentieth of the 410 by 310 client area from 26% of its width,
    // while the archive is checked, while the card is written and again while it is read back.
    EXPECT_EQ(desktop.FilterTranscript("progress bar"),
              std::vector<std::string>(3, "progress bar 106,294,409,309"));
}

constexpr const char* kAskedYes =
    "question(yes/no/cancel): The Vocell Card prompts are version 1.10.\nThe file you are about to restore "
    "contains version 1.31.\n\nOverwrite the existing prompts? -> yes";
INSTANTIATE_TEST_SUITE_P(
    Versions, RestorePromptsTest,
    ::testing::Values(
        // Equal versions, or a card without prompts: no question; the archive has no VERSION.TXT.
        PromptCase{"0131", "1.31", std::nullopt, "", "card prompt 0131", "1.31"},
        PromptCase{std::nullopt, "1.31", std::nullopt, "", "archive prompt", ""},
        PromptCase{"0110", "1.31", MessageAnswer::Yes, kAskedYes, "archive prompt", ""},
        PromptCase{"0110", "1.31", MessageAnswer::No, "-> no", "card prompt 0110", "1.10"},
        PromptCase{"0110", "1.31", MessageAnswer::Cancel, "-> cancel", "card prompt 0110", "1.10"},
        // Versions differ even when one is empty or by a trailing character.
        PromptCase{"0131", "", MessageAnswer::No, "contains version .\n", "card prompt 0131", "1.31"},
        PromptCase{"0131\r\n", "1.31", MessageAnswer::No, "version 1.31\r.\n", "card prompt 0131\r\n",
                   "1.31\r"}));

TEST_F(RestoreTest, StatusReadsRestoringDataWhileTheOpenDialogIsShown) {
    StartWithBackup();
    std::string paneDuringDialog;
    desktop.DuringNextModal([&] { paneDuringDialog = desktop.Pane(0); });
    desktop.AnswerOpenDialog(std::nullopt);
    dialog->OnCommand(ControlId::Restore);
    EXPECT_EQ(paneDuringDialog, text::kRestoringData);
    EXPECT_EQ(desktop.Pane(0), text::kReady);
    EXPECT_TRUE(messages().empty());
}

TEST_F(RestoreTest, DamagedArchiveLeavesTheCardAndItsPromptsUntouched) {
    StartWithBackup();
    fs::resize_file(BackupFile("b.vcb"), fs::file_size(BackupFile("b.vcb")) - 100);
    Restore();
    ASSERT_EQ(messages().size(), 1u);  // refused before any question
    EXPECT_EQ(messages().back().find(text::kNotValidArchive), 0u);
    EXPECT_EQ(cardPrompt(), "card prompt 0110");
    EXPECT_FALSE(machine.ExistsOnDrive('E', "VM/MSGS"));
}

TEST_F(RestoreTest, NeverWritesToADriveThatArrivedWhileTheQuestionWaited) {
    AddCard('F', "SECOND", "0110");
    PutBackup("b.vcb", "1.31");
    StartWithCardSelected();
    desktop.DuringNextModal([] {});  // the open dialog
    desktop.DuringNextModal([&] { AddCard('E', "FIRST", "0120"); });
    desktop.AnswerMessage(MessageAnswer::Yes);
    Restore();
    EXPECT_EQ(messages().back(), text::kPleaseSelectDevice);
    EXPECT_EQ(cardPrompt(), "card prompt 0120");
    EXPECT_FALSE(machine.ExistsOnDrive('E', "VM/MSGS"));
    EXPECT_EQ(desktop.busyDepth(), 0);
}

TEST_F(RestoreTest, AnInterruptedRestoreIsReportedAtSelectUntilARestoreRunsToItsEnd) {
    FaultInjectingFileSystem faulty(machine.fileSystem());
    StartWithBackup("0131", &faulty);
    faulty.FailWrite(2, FsError::DiskFull, 28);
    Restore();
    ASSERT_TRUE(marked());
    machine.PutOnDrive('E', "VM/MSGS/M2.WAV.vocell-new", "what a killed restore left");
    Select(0);
    EXPECT_EQ(messages().back(), text::kRestoreInterrupted);

    // A backup of such a card carries neither the marker nor the unfinished file.
    desktop.AnswerSaveDialog(BackupPath("after.vcb"));
    dialog->OnCommand(ControlId::Backup);
    const std::string backup = ReadHostFile(BackupFile("after.vcb"));
    EXPECT_EQ(backup.find("INTERRUPTED"), std::string::npos);
    EXPECT_EQ(backup.find("vocell-new"), std::string::npos);

    faulty.FailWrite(0, FsError::None);
    Restore();
    EXPECT_EQ(messages().back(), text::kRestoreComplete);
    EXPECT_FALSE(marked());
    EXPECT_FALSE(machine.ExistsOnDrive('E', "VM/MSGS/M2.WAV.vocell-new"));
    const std::size_t afterRestore = messages().size();
    Select(0);
    EXPECT_EQ(messages().size(), afterRestore);
}

TEST_F(RestoreTest, AnArchiveChangedWhileTheQuestionWaitedLeavesTheCardAsItWasAndUnmarked) {
    StartWithBackup();
    desktop.DuringNextModal([] {});  // the open dialog
    ArchiveBuilder other("1.31");
    other.Tree("VM/OTHER.WAV", "other");
    bool rewritten = false;
    desktop.DuringNextModal([&] {
        other.WriteTo(BackupFile("b.vcb"));
        rewritten = ReadHostFile(BackupFile("b.vcb")) == other.bytes();
    });
    desktop.AnswerMessage(MessageAnswer::Yes);
    Restore();
    if (!rewritten) GTEST_SKIP() << "the archive cannot be written while it is open for reading here";
    EXPECT_EQ(messages().back(), std::string(text::kArchiveChanged) + std::string(text::kCardNotChanged));
    EXPECT_FALSE(marked());
    EXPECT_EQ(cardPrompt(), "card prompt 0110");
}

TEST_F(RestoreTest, AnArchiveTheCardSurelyCannotHoldChangesNothingAndSaysHowMuchIsNeeded) {
    AddCard('E', "VMCARD", "0110");
    machine.PutOnDrive('E', "VM/MSGS/EMPTY.WAV", "");  // the folders are there: no card gives them more
    ArchiveBuilder("1.31").Tree("VM/MSGS/M1.WAV", std::string(10'000, 'm')).WriteTo(BackupFile("b.vcb"));
    FaultInjectingFileSystem faulty(machine.fileSystem());
    faulty.ReportAllocationUnit(4096);
    faulty.ReportFreeSpace(8191);  // the message takes three units, the mark one
    StartWithCardSelected(&faulty);
    desktop.AnswerMessage(MessageAnswer::No);
    Restore();
    EXPECT_EQ(messages().back(), std::string(text::kTooLittleSpace) + "16.4 kB (16,384 bytes)" +
                                     std::string(text::kTooLittleSpaceHas) + "8.2 kB (8,191 bytes)" +
                                     std::string(text::kTooLittleSpaceFree) +
                                     std::string(text::kCardNotChanged));
    EXPECT_EQ(dialog->lastOutcome()->reason, operations::StopReason::TooLittleSpace);
    EXPECT_FALSE(machine.ExistsOnDrive('E', "VM/MSGS/M1.WAV"));
    EXPECT_FALSE(marked());
    EXPECT_FALSE(desktop.progressBarShown());
    EXPECT_EQ(desktop.busyDepth(), 0);

    faulty.ReportFreeSpace(16'384);
    desktop.AnswerMessage(MessageAnswer::No);
    Restore();
    EXPECT_EQ(messages().back(), text::kRestoreComplete);
}

// What an interrupted restore left on the card is no whole copy of any prompt version, whatever
// its version file says: the next restore takes the backup's prompts without a question, says so,
// and clears the mark only once every entry is on the card as stored, and that on the medium.
TEST_F(RestoreTest, AfterAnInterruptedRestoreTheBackupsPromptsReplaceTheCardsAndTheMarkGoesLast) {
    FaultInjectingFileSystem faulty(machine.fileSystem());
    AddCard('E');
    machine.PutOnDrive('E', "VOCELL-RESTORE-INTERRUPTED.TXT", "interrupted");
    PutBackup("b.vcb", "1.31");
    StartWithCardSelected(&faulty);
    faulty.FailSetTimes("E:\\\\VM\\\\MSGS\\M1.WAV", FsError::AccessDenied);
    Restore();
    EXPECT_EQ(dialog->lastOutcome()->kind, operations::OutcomeKind::Partial);
    EXPECT_EQ(cardPrompt(), "archive prompt");
    EXPECT_TRUE(marked());

    // A prompt update mends the prompts alone: the rest of the card is still as the interrupted
    // restore left it.
    ArchiveBuilder("1.31")
        .Tree("VM/PROMPTS/0/0/1/WELCOME.WAV", "package prompt")
        .WriteTo(machine.installFolder() / "Prompts" / "PromptUpdateVer1_3_1.vcp");
    desktop.AnswerOpenDialog("C:\\Harlo\\Vocell\\Prompts\\PromptUpdateVer1_3_1.vcp");
    desktop.AnswerMessage(MessageAnswer::Yes);
    dialog->OnCommand(ControlId::Update);
    EXPECT_EQ(messages().back(), text::kPromptUpdateComplete);
    EXPECT_TRUE(marked());

    faulty.FailSetTimes("E:\\\\VM\\\\MSGS\\M1.WAV", FsError::None);
    const std::size_t before = messages().size();
    std::vector<std::string> onTheMediumAtCompletion;
    desktop.DuringNextModal([] {});  // the open dialog
    desktop.DuringNextModal([] {});  // the note on the prompts
    desktop.DuringNextModal([&] { onTheMediumAtCompletion = faulty.removalsAndFlushes(); });
    Restore();
    EXPECT_EQ(desktop.FilterTranscript("question").size(), 1u);  // the update's only
    EXPECT_EQ(cardPrompt(), "archive prompt");
    EXPECT_EQ(
        std::vector<std::string>(messages().begin() + static_cast<std::ptrdiff_t>(before), messages().end()),
        (std::vector<std::string>{std::string(text::kPromptsRestoredAfterInterruption),
                                  std::string(text::kRestoreComplete)}));
    EXPECT_FALSE(marked());
    const auto removal = std::find(onTheMediumAtCompletion.begin(), onTheMediumAtCompletion.end(),
                                   "remove E:\\VOCELL-RESTORE-INTERRUPTED.TXT");
    ASSERT_NE(removal, onTheMediumAtCompletion.end());
    EXPECT_NE(std::find(removal, onTheMediumAtCompletion.end(), "flush E:\\"), onTheMediumAtCompletion.end());
}

}  // namespace
}  // namespace vocell::test
