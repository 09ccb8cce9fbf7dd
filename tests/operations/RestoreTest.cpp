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
    void Restore(const std::string& name) {
        desktop.AnswerOpenDialog(BackupPath(name));
        dialog->OnCommand(ControlId::Restore);
    }
    // Card E: with prompts of cardVersion (none: no prompts) and b.vcb with prompts of
    // archiveVersion; the card is selected and restored from b.vcb, the question answered so.
    void RestoreOnto(std::optional<std::string> cardVersion, const std::string& archiveVersion,
                     std::optional<MessageAnswer> answer = std::nullopt) {
        AddCard('E', "VMCARD", std::move(cardVersion));
        PutBackup("b.vcb", archiveVersion);
        StartWithCardSelected();
        if (answer) desktop.AnswerMessage(*answer);
        Restore("b.vcb");
    }
    std::string cardPrompt() const { return machine.ReadOnDrive('E', "VM/PROMPTS/0/0/1/WELCOME.WAV"); }
};

TEST_F(RestoreTest, EqualVersionsRestoreWithoutAQuestionAndKeepTheCardPrompts) {
    RestoreOnto("0131", "1.31");
    EXPECT_EQ(cardPrompt(), "card prompt 0131");
    EXPECT_EQ(machine.ReadOnDrive('E', "VM/MSGS/M1.WAV"), "message");
    EXPECT_TRUE(desktop.FilterTranscript("question").empty());
    EXPECT_EQ(messages().back(), text::kRestoreComplete);
    EXPECT_EQ(desktop.Pane(0), text::kReady);
    EXPECT_EQ(desktop.busyDepth(), 0);
    // The bar covers the bottom twentieth of the 410 by 310 client area from 26% of its width,
    // while the card is written and again while it is read back.
    EXPECT_EQ(desktop.FilterTranscript("progress bar"),
              std::vector<std::string>(2, "progress bar 106,294,409,309"));
    EXPECT_EQ(desktop.openSettings(), OpenDialogFor("C:\\Harlo\\Vocell\\Backup\\", "*.vcb"));
}

TEST_F(RestoreTest, CardWithoutPromptsTakesTheArchivesWithoutAQuestion) {
    RestoreOnto(std::nullopt, "1.31");
    EXPECT_EQ(cardPrompt(), "archive prompt");
    EXPECT_TRUE(desktop.FilterTranscript("question").empty());
    EXPECT_EQ(fields().promptVersionText, "");  // the archive has no VERSION.TXT
}

TEST_F(RestoreTest, DifferentVersionsAskAndYesReplacesThePromptFolder) {
    AddCard('E', "VMCARD", "0110");
    machine.PutOnDrive('E', "VM/PROMPTS/0/3/1/ONLY_ON_CARD.WAV", "x");
    PutBackup("b.vcb", "1.31");
    StartWithCardSelected();
    desktop.AnswerMessage(MessageAnswer::Yes);
    Restore("b.vcb");
    EXPECT_EQ(desktop.FilterTranscript("question").at(0),
              "question(yes/no/cancel): The Vocell Card prompts are version 1.10.\nThe file you are about to "
              "restore contains version 1.31.\n\nOverwrite the existing prompts? -> yes");
    EXPECT_EQ(cardPrompt(), "archive prompt");
    EXPECT_FALSE(machine.ExistsOnDrive('E', "VM/PROMPTS/0/3/1/ONLY_ON_CARD.WAV"));
    EXPECT_EQ(messages().back(), text::kRestoreComplete);
}

TEST_F(RestoreTest, NoKeepsTheCardPromptsAndRestoresTheRest) {
    RestoreOnto("0110", "1.31", MessageAnswer::No);
    EXPECT_EQ(cardPrompt(), "card prompt 0110");
    EXPECT_EQ(machine.ReadOnDrive('E', "VM/MSGS/M1.WAV"), "message");
    EXPECT_EQ(fields().promptVersionText, "1.10");
}

TEST_F(RestoreTest, CancelChangesNothingAndLeavesTheDialogReady) {
    RestoreOnto("0110", "1.31", MessageAnswer::Cancel);
    EXPECT_FALSE(machine.ExistsOnDrive('E', "VM/MSGS"));
    EXPECT_EQ(messages().size(), 1u);  // the question only
    EXPECT_EQ(desktop.Pane(0), text::kReady);
    EXPECT_EQ(desktop.busyDepth(), 0);
}

TEST_F(RestoreTest, VersionsDifferEvenWhenEmptyOrByATrailingCharacter) {
    RestoreOnto("0131", "", MessageAnswer::No);
    EXPECT_NE(messages().at(0).find("contains version .\n"), std::string::npos);

    machine.PutOnDrive('E', "VM/PROMPTS/0/0/0/VERSION.TXT", "0131\r\n");
    Select(0);
    EXPECT_EQ(fields().promptVersionText, "1.31\r");
    PutBackup("b.vcb", "1.31");
    desktop.AnswerMessage(MessageAnswer::No);
    Restore("b.vcb");
    EXPECT_EQ(desktop.FilterTranscript("question").size(), 2u);
}

TEST_F(RestoreTest, StatusReadsRestoringDataWhileTheOpenDialogIsShown) {
    AddCard('E');
    PutBackup("b.vcb", "1.31");
    StartWithCardSelected();
    std::string paneDuringDialog;
    desktop.DuringNextModal([&] { paneDuringDialog = desktop.Pane(0); });
    desktop.AnswerOpenDialog(std::nullopt);
    dialog->OnCommand(ControlId::Restore);
    EXPECT_EQ(paneDuringDialog, text::kRestoringData);
    EXPECT_EQ(desktop.Pane(0), text::kReady);
    EXPECT_TRUE(messages().empty());
}

TEST_F(RestoreTest, DamagedArchiveLeavesTheCardAndItsPromptsUntouched) {
    AddCard('E', "VMCARD", "0110");
    PutBackup("b.vcb", "1.31");
    fs::resize_file(BackupFile("b.vcb"), fs::file_size(BackupFile("b.vcb")) - 100);
    StartWithCardSelected();
    Restore("b.vcb");
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
    Restore("b.vcb");
    EXPECT_EQ(messages().back(), text::kPleaseSelectDevice);
    EXPECT_EQ(machine.ReadOnDrive('E', "VM/PROMPTS/0/0/1/WELCOME.WAV"), "card prompt 0120");
    EXPECT_FALSE(machine.ExistsOnDrive('E', "VM/MSGS"));
    EXPECT_EQ(desktop.busyDepth(), 0);
}

TEST_F(RestoreTest, AnInterruptedRestoreIsReportedAtSelectUntilARestoreRunsToItsEnd) {
    AddCard('E');
    PutBackup("b.vcb", "1.31");
    FaultInjectingFileSystem faulty(machine.fileSystem());
    StartWithCardSelected(&faulty);
    faulty.FailWrite(2, FsError::DiskFull, 28);
    Restore("b.vcb");
    ASSERT_TRUE(machine.ExistsOnDrive('E', "VOCELL-RESTORE-INTERRUPTED.TXT"));
    machine.PutOnDrive('E', "VM/MSGS/M2.WAV.vocell-new", "what a killed restore left");

    const std::size_t before = messages().size();
    Select(0);
    ASSERT_EQ(messages().size(), before + 1);
    EXPECT_EQ(messages().back(), text::kRestoreInterrupted);

    // A backup of such a card carries neither the marker nor the unfinished file.
    desktop.AnswerSaveDialog(BackupPath("after.vcb"));
    dialog->OnCommand(ControlId::Backup);
    const std::string backup = ReadHostFile(BackupFile("after.vcb"));
    EXPECT_EQ(backup.find("INTERRUPTED"), std::string::npos);
    EXPECT_EQ(backup.find("vocell-new"), std::string::npos);

    faulty.FailWrite(0, FsError::None);
    Restore("b.vcb");
    EXPECT_EQ(messages().back(), text::kRestoreComplete);
    EXPECT_FALSE(machine.ExistsOnDrive('E', "VOCELL-RESTORE-INTERRUPTED.TXT"));
    EXPECT_FALSE(machine.ExistsOnDrive('E', "VM/MSGS/M2.WAV.vocell-new"));
    const std::size_t afterRestore = messages().size();
    Select(0);
    EXPECT_EQ(messages().size(), afterRestore);
}

TEST_F(RestoreTest, AnArchiveChangedWhileTheQuestionWaitedLeavesTheCardAsItWasAndUnmarked) {
    AddCard('E', "VMCARD", "0110");
    PutBackup("b.vcb", "1.31");
    StartWithCardSelected();
    desktop.DuringNextModal([] {});  // the open dialog
    ArchiveBuilder other("1.31");
    other.Tree("VM/OTHER.WAV", "other");
    bool rewritten = false;
    desktop.DuringNextModal([&] {
        other.WriteTo(BackupFile("b.vcb"));
        rewritten = ReadHostFile(BackupFile("b.vcb")) == other.bytes();
    });
    desktop.AnswerMessage(MessageAnswer::Yes);
    Restore("b.vcb");
    if (!rewritten) GTEST_SKIP() << "the archive cannot be written while it is open for reading here";
    EXPECT_EQ(messages().back(), std::string(text::kArchiveChanged) + std::string(text::kCardNotChanged));
    EXPECT_FALSE(machine.ExistsOnDrive('E', "VOCELL-RESTORE-INTERRUPTED.TXT"));
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
    Restore("b.vcb");
    EXPECT_EQ(messages().back(), std::string(text::kTooLittleSpace) + "16.4 kB (16,384 bytes)" +
                                     std::string(text::kTooLittleSpaceHas) + "8.2 kB (8,191 bytes)" +
                                     std::string(text::kTooLittleSpaceFree) +
                                     std::string(text::kCardNotChanged));
    EXPECT_EQ(dialog->lastOutcome()->reason, operations::StopReason::TooLittleSpace);
    EXPECT_FALSE(machine.ExistsOnDrive('E', "VM/MSGS/M1.WAV"));
    EXPECT_FALSE(machine.ExistsOnDrive('E', "VOCELL-RESTORE-INTERRUPTED.TXT"));
    EXPECT_FALSE(desktop.progressBarShown());
    EXPECT_EQ(desktop.busyDepth(), 0);

    faulty.ReportFreeSpace(16'384);
    desktop.AnswerMessage(MessageAnswer::No);
    Restore("b.vcb");
    EXPECT_EQ(messages().back(), text::kRestoreComplete);
}

// What an interrupted restore left on the card is no whole copy of any prompt version, whatever
// its version file says: the next restore takes the backup's prompts, says so, and clears the
// mark only once every entry is on the card as stored, and on the medium.
class InterruptedRestoreTest : public RestoreTest {
protected:
    void SetUp() override {
        AddCard('E', "VMCARD", "0131");
        machine.PutOnDrive('E', "VOCELL-RESTORE-INTERRUPTED.TXT", "interrupted");
        PutBackup("b.vcb", "1.31");
        StartWithCardSelected(&faulty);
    }
    bool marked() const { return machine.ExistsOnDrive('E', "VOCELL-RESTORE-INTERRUPTED.TXT"); }

    FaultInjectingFileSystem faulty{machine.fileSystem()};
};

TEST_F(InterruptedRestoreTest, TheBackupsPromptsReplaceTheCardsEvenAtTheSameVersion) {
    Restore("b.vcb");
    EXPECT_TRUE(desktop.FilterTranscript("question").empty());
    EXPECT_EQ(cardPrompt(), "archive prompt");
    EXPECT_EQ(messages(), (std::vector<std::string>{std::string(text::kRestoreInterrupted),
                                                    std::string(text::kPromptsRestoredAfterInterruption),
                                                    std::string(text::kRestoreComplete)}));
    EXPECT_FALSE(marked());
}

TEST_F(InterruptedRestoreTest, TheMarksRemovalIsOnTheMediumBeforeRestoreCompleteShows) {
    std::vector<std::string> onTheMediumAtCompletion;
    desktop.DuringNextModal([] {});  // the open dialog
    desktop.DuringNextModal([] {});  // the note on the prompts
    desktop.DuringNextModal([&] { onTheMediumAtCompletion = faulty.removalsAndFlushes(); });
    Restore("b.vcb");
    ASSERT_EQ(messages().back(), text::kRestoreComplete);
    const auto removal = std::find(onTheMediumAtCompletion.begin(), onTheMediumAtCompletion.end(),
                                   "remove E:\\VOCELL-RESTORE-INTERRUPTED.TXT");
    ASSERT_NE(removal, onTheMediumAtCompletion.end());
    EXPECT_NE(std::find(removal, onTheMediumAtCompletion.end(), "flush E:\\"), onTheMediumAtCompletion.end());
}

TEST_F(InterruptedRestoreTest, TheMarkStaysUntilEveryEntryIsOnTheCardAsStored) {
    faulty.FailSetTimes("E:\\\\VM\\\\MSGS\\M1.WAV", FsError::AccessDenied);
    Restore("b.vcb");
    EXPECT_EQ(dialog->lastOutcome()->kind, operations::OutcomeKind::Partial);
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
    Restore("b.vcb");
    EXPECT_EQ(messages().back(), text::kRestoreComplete);
    EXPECT_FALSE(marked());
}

}  // namespace
}  // namespace vocell::test
