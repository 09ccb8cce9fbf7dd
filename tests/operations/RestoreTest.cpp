#include "app/DialogLayout.h"
#include "operations/InstallFolders.h"
#include "tests/app/DialogFixture.h"
#include "tests/support/ArchiveBuilder.h"

namespace vocell::test {
namespace {

namespace fs = std::filesystem;

class RestoreTest : public DialogTest {
protected:
    // A backup in the install folder's Backup folder with prompts of version code and a message.
    void putBackup(const std::string& name, const std::string& version) {
        ArchiveBuilder(version)
            .folder("E:\\\\VM\\")
            .folder("E:\\\\VM\\\\PROMPTS\\")
            .folder("E:\\\\VM\\\\PROMPTS\\\\0\\")
            .folder("E:\\\\VM\\\\PROMPTS\\\\0\\\\0\\")
            .folder("E:\\\\VM\\\\PROMPTS\\\\0\\\\0\\\\1\\")
            .file("E:\\\\VM\\\\PROMPTS\\\\0\\\\0\\\\1\\WELCOME.WAV", "archive prompt")
            .folder("E:\\\\VM\\\\MSGS\\")
            .file("E:\\\\VM\\\\MSGS\\M1.WAV", "message")
            .writeTo(backupFile(name));
    }
    void restore(const std::string& name) {
        desktop.answerOpenDialog(backupPath(name));
        dialog->OnCommand(ControlId::Restore);
    }
    std::string cardPrompt() const { return machine.readOnDrive('E', "VM/PROMPTS/0/0/1/WELCOME.WAV"); }
};

TEST_F(RestoreTest, EqualVersionsRestoreWithoutAQuestionAndKeepTheCardPrompts) {
    addCard('E');
    putBackup("same.vcb", "1.31");
    startWithCardSelected();
    restore("same.vcb");
    EXPECT_EQ(cardPrompt(), "card prompt 0131");
    EXPECT_EQ(machine.readOnDrive('E', "VM/MSGS/M1.WAV"), "message");
    EXPECT_TRUE(desktop.filterTranscript("question").empty());
    EXPECT_EQ(messages().back(), text::kRestoreComplete);
    EXPECT_EQ(desktop.pane(0), text::kReady);
    EXPECT_EQ(desktop.busyDepth(), 0);
    EXPECT_EQ(desktop.openSettings(), operations::BackupOpenDialog());
    EXPECT_TRUE(desktop.openSettings()->fileMustExist);
}

TEST_F(RestoreTest, CardWithoutPromptsTakesTheArchivesWithoutAQuestion) {
    addCard('E', "VMCARD", std::nullopt);
    putBackup("b.vcb", "1.31");
    startWithCardSelected();
    restore("b.vcb");
    EXPECT_EQ(cardPrompt(), "archive prompt");
    EXPECT_TRUE(desktop.filterTranscript("question").empty());
    EXPECT_EQ(fields().promptVersionText, "");  // the archive has no VERSION.TXT
}

TEST_F(RestoreTest, DifferentVersionsAskAndYesReplacesThePromptFolder) {
    addCard('E', "VMCARD", "0110");
    machine.putOnDrive('E', "VM/PROMPTS/0/3/1/ONLY_ON_CARD.WAV", "x");
    putBackup("b.vcb", "1.31");
    startWithCardSelected();
    desktop.answerMessage(MessageAnswer::Yes);
    restore("b.vcb");
    EXPECT_EQ(desktop.filterTranscript("question").at(0),
              "question(yes/no/cancel): The Vocell Card prompts are version 1.10.\nThe file you are about to "
              "restore contains version 1.31.\n\nOverwrite the existing prompts? -> yes");
    EXPECT_EQ(cardPrompt(), "archive prompt");
    EXPECT_FALSE(machine.existsOnDrive('E', "VM/PROMPTS/0/3/1/ONLY_ON_CARD.WAV"));
    EXPECT_EQ(messages().back(), text::kRestoreComplete);
}

TEST_F(RestoreTest, NoKeepsTheCardPromptsAndRestoresTheRest) {
    addCard('E', "VMCARD", "0110");
    putBackup("b.vcb", "1.31");
    startWithCardSelected();
    desktop.answerMessage(MessageAnswer::No);
    restore("b.vcb");
    EXPECT_EQ(cardPrompt(), "card prompt 0110");
    EXPECT_EQ(machine.readOnDrive('E', "VM/MSGS/M1.WAV"), "message");
    EXPECT_EQ(fields().promptVersionText, "1.10");
}

TEST_F(RestoreTest, CancelChangesNothingAndLeavesTheDialogReady) {
    addCard('E', "VMCARD", "0110");
    putBackup("b.vcb", "1.31");
    startWithCardSelected();
    desktop.answerMessage(MessageAnswer::Cancel);
    restore("b.vcb");
    EXPECT_FALSE(machine.existsOnDrive('E', "VM/MSGS"));
    EXPECT_EQ(messages().size(), 1u);  // the question only
    EXPECT_EQ(desktop.pane(0), text::kReady);
    EXPECT_EQ(desktop.busyDepth(), 0);
}

TEST_F(RestoreTest, AnArchiveOfAPromptlessCardAsksWithAnEmptyVersion) {
    addCard('E', "VMCARD", "0131");
    putBackup("b.vcb", "");
    startWithCardSelected();
    desktop.answerMessage(MessageAnswer::No);
    restore("b.vcb");
    EXPECT_NE(messages().at(0).find("contains version .\n"), std::string::npos);
}

TEST_F(RestoreTest, VersionsThatDifferByATrailingCharacterAreDifferent) {
    addCard('E', "VMCARD", "0131\r\n");
    putBackup("b.vcb", "1.31");
    startWithCardSelected();
    EXPECT_EQ(fields().promptVersionText, "1.31\r");
    desktop.answerMessage(MessageAnswer::No);
    restore("b.vcb");
    EXPECT_EQ(desktop.filterTranscript("question").size(), 1u);
}

TEST_F(RestoreTest, StatusReadsRestoringDataWhileTheOpenDialogIsShown) {
    addCard('E');
    putBackup("b.vcb", "1.31");
    startWithCardSelected();
    std::string paneDuringDialog;
    desktop.duringNextModal([&] { paneDuringDialog = desktop.pane(0); });
    desktop.answerOpenDialog(std::nullopt);
    dialog->OnCommand(ControlId::Restore);
    EXPECT_EQ(paneDuringDialog, text::kRestoringData);
    EXPECT_EQ(desktop.pane(0), text::kReady);
    EXPECT_TRUE(messages().empty());
}

TEST_F(RestoreTest, PreChecksRunInOrder) {
    addCard('E');
    start();
    dialog->OnCommand(ControlId::Restore);
    EXPECT_EQ(messages().back(), text::kPleaseSelectDevice);
    select(0);
    machine.removeInstalled("Data");
    dialog->OnCommand(ControlId::Restore);
    EXPECT_EQ(messages().back(), text::kDataFolderMissing);
    machine.removeInstalled("Backup");
    dialog->OnCommand(ControlId::Restore);
    EXPECT_EQ(messages().back(), text::kBackupFolderMissing);
    machine.volumes().ejectMedium('E');
    dialog->OnCommand(ControlId::Restore);
    EXPECT_EQ(messages().back(), text::kNoMediaPresent);
    EXPECT_FALSE(desktop.openSettings());
}

TEST_F(RestoreTest, FullCardIsReportedOnceWithoutCompletion) {
    addCard('E');
    putBackup("b.vcb", "");
    FaultInjectingFileSystem faulty(machine.fileSystem());
    startWithCardSelected(&faulty);
    faulty.failWrite(1, FsError::DiskFull, 28);
    desktop.answerMessage(MessageAnswer::Yes);
    restore("b.vcb");
    EXPECT_EQ(std::count(messages().begin(), messages().end(), std::string(text::kCardFull)), 1);
    EXPECT_EQ(std::count(messages().begin(), messages().end(), std::string(text::kRestoreComplete)), 0);
    EXPECT_TRUE(dialog->archive().extractionFailed);
    EXPECT_FALSE(desktop.progressBarShown());
    EXPECT_EQ(desktop.busyDepth(), 0);
}

TEST_F(RestoreTest, WriteErrorIsReportedOnceWithoutCompletion) {
    addCard('E');
    putBackup("b.vcb", "1.31");
    FaultInjectingFileSystem faulty(machine.fileSystem());
    startWithCardSelected(&faulty);
    faulty.failWrite(1, FsError::Other, 5);
    restore("b.vcb");
    EXPECT_EQ(messages(), std::vector<std::string>{std::string(text::kCardWriteError)});
}

TEST_F(RestoreTest, DamagedArchiveLeavesTheCardAndItsPromptsUntouched) {
    addCard('E', "VMCARD", "0110");
    putBackup("b.vcb", "1.31");
    fs::resize_file(backupFile("b.vcb"), fs::file_size(backupFile("b.vcb")) - 100);
    startWithCardSelected();
    restore("b.vcb");
    ASSERT_EQ(messages().size(), 1u);  // refused before any question
    EXPECT_EQ(messages().back().find(text::kNotValidArchive), 0u);
    EXPECT_EQ(cardPrompt(), "card prompt 0110");
    EXPECT_FALSE(machine.existsOnDrive('E', "VM/MSGS"));
}

TEST_F(RestoreTest, NeverWritesToADriveThatTookTheSelectedSlot) {
    addCard('F', "SECOND", "0110");
    putBackup("b.vcb", "1.31");
    startWithCardSelected();
    addCard('E', "FIRST", "0120");  // E: now holds slot 0, where F: was
    restore("b.vcb");
    EXPECT_EQ(messages().back(), text::kPleaseSelectDevice);
    EXPECT_EQ(fields().statusText, text::kCardNotSelected);
    EXPECT_FALSE(machine.existsOnDrive('E', "VM/MSGS"));
    EXPECT_FALSE(machine.existsOnDrive('F', "VM/MSGS"));
}

TEST_F(RestoreTest, NeverWritesToADriveThatArrivedWhileTheQuestionWaited) {
    addCard('F', "SECOND", "0110");
    putBackup("b.vcb", "1.31");
    startWithCardSelected();
    desktop.duringNextModal([] {});  // the open dialog
    desktop.duringNextModal([&] { addCard('E', "FIRST", "0120"); });
    desktop.answerMessage(MessageAnswer::Yes);
    restore("b.vcb");
    EXPECT_EQ(messages().back(), text::kPleaseSelectDevice);
    EXPECT_EQ(machine.readOnDrive('E', "VM/PROMPTS/0/0/1/WELCOME.WAV"), "card prompt 0120");
    EXPECT_FALSE(machine.existsOnDrive('E', "VM/MSGS"));
    EXPECT_EQ(desktop.busyDepth(), 0);
}

}  // namespace
}  // namespace vocell::test
