#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include "app/DialogLayout.h"
#include "archive/ArchiveLayout.h"
#include "operations/InstallFolders.h"
#include "operations/ProgressEstimate.h"
#include "tests/support/DialogFixture.h"
#include "tests/support/FakeMachine.h"

namespace vocell::test {
namespace {

class BackupTest : public DialogTest {
protected:
    void Backup() { dialog->OnCommand(ControlId::Backup); }
    std::string Archive(const std::string& name) const { return ReadHostFile(BackupFile(name)); }
    // Whether pane 1 told the archive's length as the total, the last backup's lines only.
    bool ToldTotal(std::size_t linesBefore, std::uint64_t length) const {
        const std::string ofTotal = std::string(text::kProgressOf) + operations::SizeText(length) +
                                    std::string(text::kProgressWritten);
        const auto lines = desktop.FilterTranscript("pane 1: ");
        return lines.size() > linesBefore &&
               std::all_of(lines.begin() + static_cast<std::ptrdiff_t>(linesBefore), lines.end(),
                           [&](const std::string& line) {
                               return line == "pane 1: " || line.find(ofTotal) != std::string::npos;
                           });
    }
};

TEST_F(BackupTest, SavesTheWholeCardAndReportsCompletion) {
    AddCard('E');
    machine.PutOnDrive('E', "VM/MSGS/100/M1.WAV", std::string(3000, 'm'));
    StartWithCardSelected();
    desktop.AnswerSaveDialog(BackupPath("card.vcb"));
    Backup();

    FileDialogSettings expected;
    expected.initialFolder = "C:\\Harlo\\Vocell\\Backup\\";
    expected.fileName = expected.filterPattern = "*.vcb";
    expected.defaultExtension = "vcb";
    expected.filterDescription = "Vocell Greeting & Data Files (*.vcb)";
    expected.overwritePrompt = expected.pathMustExist = true;
    EXPECT_EQ(desktop.saveSettings(), expected);
    EXPECT_EQ(messages().back(), text::kBackupComplete);
    EXPECT_EQ(desktop.Pane(0), text::kReady);
    EXPECT_EQ(desktop.Pane(1), "");
    EXPECT_EQ(desktop.busyDepth(), 0);
    const auto activity = desktop.FilterTranscript("pane 0: ");
    ASSERT_GE(activity.size(), 2u);
    EXPECT_EQ(activity[activity.size() - 2], "pane 0: Backing Up Data");
    EXPECT_EQ(activity.back(), "pane 0: Ready");
    const std::string bytes = Archive("card.vcb");
    EXPECT_EQ(bytes.substr(0, 6), std::string("1.31\0\0", 6));
    EXPECT_NE(bytes.find("E:\\\\VM\\\\MSGS\\\\100\\M1.WAV"), std::string::npos);
    // The path being stored, and how much of the archive's length, measured before, is written.
    const std::string drawn = "pane 1: E:\\\\VM\\\\MSGS\\\\100\\M1.WAV - ";
    const std::string ofTotal = std::string(text::kProgressOf) + operations::SizeText(bytes.size()) +
                                std::string(text::kProgressWritten);
    EXPECT_NE(std::find_if(desktop.transcript().begin(), desktop.transcript().end(),
                           [&](const std::string& line) {
                               return line.starts_with(drawn) && line.find(ofTotal) != std::string::npos;
                           }),
              desktop.transcript().end());
}

TEST_F(BackupTest, CardWithoutPromptsGivesAnAllZeroHeader) {
    AddCard('E', "VMCARD", std::nullopt);
    StartWithCardSelected();
    desktop.AnswerSaveDialog(BackupPath("blank.vcb"));
    Backup();
    EXPECT_EQ(Archive("blank.vcb"), std::string(archive::kBlockSize, '\0'));
}

// The card's listings may be read while the save dialog waits for a name; however far that came,
// and whatever happened to the card meanwhile, the total told is the archive's length.
TEST_F(BackupTest, TheCardMeasuredWhileTheSaveDialogWaitsGivesTheArchivesLength) {
    AddCard('E');
    for (int folder = 100; folder < 104; ++folder) {
        for (int i = 0; i < 3; ++i) {
            machine.PutOnDrive('E', "VM/MSGS/" + std::to_string(folder) + "/M" + std::to_string(i) + ".WAV",
                               std::string(static_cast<std::size_t>(1500 * (i + 1)), 'm'));
        }
    }
    StartWithCardSelected();
    const std::vector<std::pair<std::string, std::function<void()>>> dialogs = {
        {"nothing measured", [] {}},
        {"partly measured", [&] { EXPECT_EQ(desktop.RunFileDialogWork(3), 3); }},
        // E:\, VM, PROMPTS, 0, 0\0, 0\0\0 and 0\0\1, MSGS and its four folders
        {"wholly measured", [&] { EXPECT_EQ(desktop.RunFileDialogWork(-1), 12); }},
        {"taken out while measured",
         [&] {
             machine.volumes().EjectMedium('E');
             desktop.RunFileDialogWork(-1);
             machine.volumes().InsertMedium('E');
         }},
    };
    for (const auto& [name, duringDialog] : dialogs) {
        SCOPED_TRACE(name);
        const std::size_t linesBefore = desktop.FilterTranscript("pane 1: ").size();
        desktop.DuringNextModal(duringDialog);
        desktop.AnswerSaveDialog(BackupPath("card.vcb"));
        Backup();
        ASSERT_EQ(messages().back(), text::kBackupComplete);
        EXPECT_TRUE(ToldTotal(linesBefore, Archive("card.vcb").size()));
    }
}

TEST_F(BackupTest, CancellingTheSaveDialogEndsSilently) {
    AddCard('E');
    StartWithCardSelected();
    const auto panesBefore = desktop.FilterTranscript("pane").size();
    desktop.AnswerSaveDialog(std::nullopt);
    Backup();
    EXPECT_EQ(messages().size(), 0u);
    EXPECT_EQ(desktop.FilterTranscript("pane").size(), panesBefore + 1);  // the refresh's "Ready"
    EXPECT_FALSE(std::filesystem::exists(BackupFile("card.vcb")));
}

// A backup is read back from its drive before it takes its name: one the drive gives back
// otherwise never replaces the earlier backup, and says so.
TEST_F(BackupTest, AnArchiveItsDriveGivesBackOtherwiseKeepsTheEarlierBackup) {
    AddCard('E');
    machine.PutOnDrive('E', "VM/MSGS/100/M1.WAV", std::string(300'000, 'm'));
    FaultInjectingFileSystem faulty(machine.fileSystem());
    StartWithCardSelected(&faulty);
    desktop.AnswerSaveDialog(BackupPath("card.vcb"));
    Backup();
    ASSERT_EQ(messages().back(), text::kBackupComplete);
    EXPECT_EQ(faulty.mediumReads(), 1);
    const std::string earlier = Archive("card.vcb");

    machine.PutOnDrive('E', "VM/MSGS/100/M2.WAV", "a new message");
    faulty.GarbleOnMedium(".partial");
    desktop.AnswerSaveDialog(BackupPath("card.vcb"));
    Backup();
    EXPECT_EQ(messages().back(),
              std::string(text::kBackupNotWritten) +
                  "it was written, but reading it back from its drive gave something else." +
                  std::string(text::kEarlierBackupKept));
    EXPECT_EQ(Archive("card.vcb"), earlier);
    EXPECT_EQ(dialog->lastOutcome()->reason, operations::StopReason::BackupNotWritten);
    for (const auto& entry : std::filesystem::directory_iterator(BackupFile("card.vcb").parent_path())) {
        EXPECT_EQ(entry.path().filename().string().find(".partial"), std::string::npos) << entry.path();
    }
}

}  // namespace
}  // namespace vocell::test
