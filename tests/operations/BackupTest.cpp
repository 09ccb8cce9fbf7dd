#include "app/DialogLayout.h"
#include "archive/ArchiveLayout.h"
#include "operations/InstallFolders.h"
#include "tests/app/DialogFixture.h"
#include "tests/support/TestDrives.h"

namespace vocell::test {
namespace {

class BackupTest : public DialogTest {
protected:
    void backup() { dialog->OnCommand(ControlId::Backup); }
    std::string archive(const std::string& name) const { return TestDrives::get(backupFile(name)); }
};

TEST_F(BackupTest, WithoutASelectedCardAsksForOneAndTestsNothing) {
    addCard('E');
    start();
    const int pushes = desktop.pushCount();
    backup();
    EXPECT_EQ(messages(), std::vector<std::string>{std::string(text::kPleaseSelectDevice)});
    EXPECT_EQ(desktop.pushCount(), pushes);  // no status refresh either
}

TEST_F(BackupTest, ReaderWithoutACardSaysNoMedia) {
    addCard('E');
    startWithCardSelected();
    machine.volumes().ejectMedium('E');
    backup();
    EXPECT_EQ(messages().back(), text::kNoMediaPresent);
    EXPECT_FALSE(desktop.saveSettings());
}

TEST_F(BackupTest, MissingBackupFolderStopsBeforeTheSaveDialog) {
    addCard('E');
    startWithCardSelected();
    machine.removeInstalled("Backup");
    backup();
    EXPECT_EQ(messages().back(), text::kBackupFolderMissing);
    EXPECT_FALSE(desktop.saveSettings());
}

TEST_F(BackupTest, SavesTheWholeCardAndReportsCompletion) {
    addCard('E');
    machine.putOnDrive('E', "VM/MSGS/100/M1.WAV", std::string(3000, 'm'));
    startWithCardSelected();
    desktop.answerSaveDialog(backupPath("card.vcb"));
    backup();

    FileDialogSettings expected = operations::BackupSaveDialog();
    EXPECT_EQ(desktop.saveSettings(), expected);
    EXPECT_EQ(expected.initialFolder, "C:\\Harlo\\Vocell\\Backup\\");
    EXPECT_EQ(expected.filterDescription, "Vocell Greeting & Data Files (*.vcb)");
    EXPECT_EQ(messages().back(), text::kBackupComplete);
    EXPECT_EQ(desktop.pane(0), text::kReady);
    EXPECT_EQ(desktop.pane(1), "");
    EXPECT_EQ(desktop.busyDepth(), 0);
    const auto activity = desktop.filterTranscript("pane 0: ");
    ASSERT_GE(activity.size(), 2u);
    EXPECT_EQ(activity[activity.size() - 2], "pane 0: Backing Up Data");
    EXPECT_EQ(activity.back(), "pane 0: Ready");
    const std::string bytes = archive("card.vcb");
    EXPECT_EQ(bytes.substr(0, 6), std::string("1.31\0\0", 6));
    EXPECT_NE(bytes.find("E:\\\\VM\\\\MSGS\\\\100\\M1.WAV"), std::string::npos);
    EXPECT_NE(std::find(desktop.transcript().begin(), desktop.transcript().end(),
                        "pane 1: E:\\\\VM\\\\MSGS\\\\100\\M1.WAV"),
              desktop.transcript().end());
}

TEST_F(BackupTest, CardWithoutPromptsGivesAnAllZeroHeader) {
    addCard('E', "VMCARD", std::nullopt);
    startWithCardSelected();
    desktop.answerSaveDialog(backupPath("blank.vcb"));
    backup();
    EXPECT_EQ(archive("blank.vcb"), std::string(archive::kBlockSize, '\0'));
}

TEST_F(BackupTest, CancellingTheSaveDialogEndsSilently) {
    addCard('E');
    startWithCardSelected();
    const auto panesBefore = desktop.filterTranscript("pane").size();
    desktop.answerSaveDialog(std::nullopt);
    backup();
    EXPECT_EQ(messages().size(), 0u);
    EXPECT_EQ(desktop.filterTranscript("pane").size(), panesBefore + 1);  // the refresh's "Ready"
    EXPECT_FALSE(std::filesystem::exists(backupFile("card.vcb")));
}

TEST_F(BackupTest, AFailedBackupKeepsTheEarlierFileAndSaysSo) {
    addCard('E');
    machine.putOnDrive('E', "VM/MSGS/BIG.WAV", std::string(200'000, 'b'));
    TestDrives::put(backupFile("card.vcb"), "the earlier backup");
    FaultInjectingFileSystem faulty(machine.fileSystem());
    startWithCardSelected(&faulty);
    faulty.failWrite(2, FsError::DiskFull, 28);
    desktop.answerSaveDialog(backupPath("card.vcb"));
    backup();
    EXPECT_EQ(archive("card.vcb"), "the earlier backup");
    EXPECT_EQ(messages().back().find(text::kBackupNotWritten), 0u);
    EXPECT_EQ(std::count(messages().begin(), messages().end(), std::string(text::kBackupComplete)), 0);
}

TEST_F(BackupTest, UnreadableFilesAreNamedInsteadOfBackupComplete) {
    addCard('E');
    machine.putOnDrive('E', "VM/MSGS/LOCKED.WAV", "locked");
    FaultInjectingFileSystem faulty(machine.fileSystem());
    faulty.failOpenRead("E:\\\\VM\\\\MSGS\\LOCKED.WAV", FsError::AccessDenied);
    startWithCardSelected(&faulty);
    desktop.answerSaveDialog(backupPath("card.vcb"));
    backup();
    EXPECT_EQ(messages().back().find(text::kBackupIncomplete), 0u);
    EXPECT_NE(messages().back().find("LOCKED.WAV"), std::string::npos);
}

TEST_F(BackupTest, AnotherDriveInTheSelectedSlotIsNotBackedUp) {
    addCard('F', "SECOND");
    startWithCardSelected();
    addCard('E', "FIRST");  // arrives in slot 0, where F: was
    backup();
    EXPECT_EQ(messages().back(), text::kPleaseSelectDevice);
    EXPECT_EQ(fields().statusText, text::kCardNotSelected);
    EXPECT_FALSE(desktop.saveSettings());
}

}  // namespace
}  // namespace vocell::test
