// A long operation draws at a pace, not at every entry, and lets the window keep answering the
// system while it runs; what the system asks for then cannot start or end anything.

#include <string>

#include "app/DialogLayout.h"
#include "tests/support/ArchiveBuilder.h"
#include "tests/support/DialogFixture.h"

namespace vocell::test {
namespace {

class LongOperationTest : public DialogTest {
protected:
    // A card of count small files in one folder.
    void AddCardOfSmallFiles(int count) {
        AddCard('E');
        for (int i = 0; i < count; ++i) {
            machine.PutOnDrive('E', "VM/MSGS/100/M" + std::to_string(i) + ".WAV", "message");
        }
    }
    [[nodiscard]] std::size_t DetailPaneDrawings() const {
        std::size_t drawn = 0;
        for (const std::string& line : desktop.FilterTranscript("pane 1: ")) drawn += line != "pane 1: ";
        return drawn;
    }
};

TEST_F(LongOperationTest, BackupDrawsTheNewestPathAtItsPaceAndKeepsTheWindowAnswering) {
    AddCardOfSmallFiles(200);
    StartWithCardSelected();
    screenTick = std::chrono::milliseconds(1);  // a pace of one drawing in about 33 readings
    desktop.AnswerSaveDialog(BackupPath("card.vcb"));
    int seenWhileRunning = 0;
    desktop.whileResponding = [&] { seenWhileRunning += dialog->operationRunning() ? 1 : 0; };
    dialog->OnCommand(ControlId::Backup);

    EXPECT_EQ(messages().back(), text::kBackupComplete);
    ASSERT_TRUE(dialog->lastOutcome().has_value());
    // VM\, MSGS\, 100\, the files, and the prompts' five folders and two files.
    EXPECT_EQ(dialog->lastOutcome()->pathsStored, 210u);
    const std::size_t drawn = DetailPaneDrawings();
    EXPECT_GE(drawn, 2u);
    EXPECT_LT(drawn, 40u);
    EXPECT_EQ(desktop.keepRespondingCalls(), seenWhileRunning);
    EXPECT_GE(seenWhileRunning, 2);
    EXPECT_FALSE(dialog->operationRunning());
}

TEST_F(LongOperationTest, EveryStepIsDrawnWhenTheClockSaysSo) {
    AddCardOfSmallFiles(20);
    StartWithCardSelected();
    desktop.AnswerSaveDialog(BackupPath("card.vcb"));
    dialog->OnCommand(ControlId::Backup);
    EXPECT_EQ(DetailPaneDrawings(), 30u);
}

TEST_F(LongOperationTest, ACommandOrDeviceChangeWhileTheWindowAnswersChangesNothingOfTheRestore) {
    AddCard('E');
    machine.PutOnDrive('E', "VM/MSGS/100/OLD.WAV", "old");
    ArchiveBuilder("1.31").Tree("VM/MSGS/100/M1.WAV", std::string(200'000, 'm')).WriteTo(BackupFile("b.vcb"));
    StartWithCardSelected();
    desktop.AnswerOpenDialog(BackupPath("b.vcb"));
    int respondedWhileRunning = 0;
    desktop.whileResponding = [&] {
        if (!dialog->operationRunning()) return;
        ++respondedWhileRunning;
        dialog->OnDeviceChange(devices::DeviceEvent::Refresh);
        dialog->OnCommand(ControlId::Cancel);
        dialog->OnCommand(ControlId::Restore);
    };
    dialog->OnCommand(ControlId::Restore);

    ASSERT_TRUE(dialog->lastOutcome().has_value());
    EXPECT_TRUE(dialog->lastOutcome()->done());
    EXPECT_GE(respondedWhileRunning, 1);
    EXPECT_EQ(machine.ReadOnDrive('E', "VM/MSGS/100/M1.WAV"), std::string(200'000, 'm'));
    EXPECT_EQ(desktop.FilterTranscript("open dialog").size(), 1u);  // no second restore began
    EXPECT_FALSE(desktop.endedWith().has_value());
}

}  // namespace
}  // namespace vocell::test
