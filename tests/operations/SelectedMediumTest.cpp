// Every operation acts on the medium the user selected and on nothing else: another card put
// into the same reader (even with the same label), or a medium that cannot be told apart any
// more, gives "Please select a device." and nothing is written; a format the platform refuses
// or that fails leaves the card as it was.

#include "app/DialogLayout.h"
#include "tests/support/ArchiveBuilder.h"
#include "tests/support/DialogFixture.h"
#include "tests/support/TempDirectory.h"

namespace vocell::test {
namespace {

namespace fs = std::filesystem;

struct Operation {
    const char* name;
    int button;
    // The modal dialogs before the card's first write, and what answers them.
    int modalsBeforeWrite;
    bool saveDialog;
    bool openDialog;
    bool question;
};

const Operation kOperations[] = {
    {"backup", ControlId::Backup, 1, true, false, false},
    {"restore", ControlId::Restore, 2, false, true, true},
    {"update", ControlId::Update, 2, false, true, true},
    {"initialize", ControlId::Initialize, 2, false, false, true},  // the question and the notice
};

class SelectedMediumTest : public DialogTest {
protected:
    void SetUp() override {
        AddCard('E', "VMCARD", "0110");
        ArchiveBuilder("1.31").Tree("VM/MSGS/M1.WAV", "message").WriteTo(BackupFile("b.vcb"));
        StartWithCardSelected();
    }
    // Presses the button with every dialog answered so that the operation would write; action
    // runs inside the modal dialog numbered modal.
    void Press(const Operation& operation, int modal, const std::function<void()>& action) {
        for (int i = 0; i < operation.modalsBeforeWrite; ++i) {
            desktop.DuringNextModal(i == modal ? action : [] {});
        }
        if (operation.saveDialog) desktop.AnswerSaveDialog(BackupPath("new.vcb"));
        if (operation.openDialog) desktop.AnswerOpenDialog(BackupPath("b.vcb"));
        if (operation.question) desktop.AnswerMessage(MessageAnswer::Yes);
        dialog->OnCommand(operation.button);
        EXPECT_EQ(desktop.pendingAnswers(), 0u) << operation.name;
    }
    // The other customer's card, with the same label, in the same reader.
    void SwapCard() {
        machine.volumes().SwapMedium('E', "VMCARD");
        PutPrompts('E', "0110");
        machine.PutOnDrive('E', "VM/MSGS/B.WAV", "customer B");
    }
    void ExpectRefusedAndCardUntouched(const Operation& operation) {
        SCOPED_TRACE(operation.name);
        EXPECT_EQ(messages().back(), text::kPleaseSelectDevice);
        EXPECT_EQ(fields().statusText, text::kCardNotSelected);
        EXPECT_EQ(machine.ReadOnDrive('E', "VM/MSGS/B.WAV"), "customer B");
        EXPECT_EQ(machine.ReadOnDrive('E', "VM/PROMPTS/0/0/1/WELCOME.WAV"), "card prompt 0110");
        EXPECT_FALSE(machine.ExistsOnDrive('E', "VM/MSGS/M1.WAV"));
        EXPECT_FALSE(machine.ExistsOnDrive('E', "VOCELL-RESTORE-INTERRUPTED.TXT"));
        EXPECT_FALSE(fs::exists(BackupFile("new.vcb")));
        EXPECT_TRUE(desktop.FilterTranscript("format").empty());
        EXPECT_EQ(desktop.busyDepth(), 0);
    }
};

TEST_F(SelectedMediumTest, ACardSwappedInTheReaderDuringAnyDialogIsNeverWritten) {
    for (const Operation& operation : kOperations) {
        for (int modal = 0; modal < operation.modalsBeforeWrite; ++modal) {
            SCOPED_TRACE(modal);
            SwapCard();
            Select(0);
            ASSERT_EQ(fields().statusText, text::kReady);
            Press(operation, modal, [&] { SwapCard(); });
            ExpectRefusedAndCardUntouched(operation);
        }
    }
}

TEST_F(SelectedMediumTest, AMediumThatCannotBeToldApartIsRefusedBeforeAnyDialog) {
    SwapCard();
    machine.volumes().FailIdentity('E');
    for (const Operation& operation : kOperations) {
        Select(0);
        const std::size_t before = messages().size();
        dialog->OnCommand(operation.button);
        ExpectRefusedAndCardUntouched(operation);
        EXPECT_EQ(messages().size(), before + 1);
        EXPECT_TRUE(desktop.FilterTranscript("save dialog").empty());
        EXPECT_TRUE(desktop.FilterTranscript("open dialog").empty());
    }
}

TEST_F(SelectedMediumTest, TheSameCardTakenOutAndPutBackIsStillTheSelectedCard) {
    Press(kOperations[1], 0, [&] {
        machine.volumes().EjectMedium('E');
        machine.volumes().InsertMedium('E');
    });
    EXPECT_EQ(messages().back(), text::kRestoreComplete);
    EXPECT_EQ(machine.ReadOnDrive('E', "VM/MSGS/M1.WAV"), "message");
}

class FormatOutcomeTest : public DialogTest {
protected:
    void Initialize(ScriptedDesktop::Formatter formatter) {
        AddCard('E', "VMCARD", std::nullopt);
        machine.PutOnDrive('E', "OLD.TXT", "kept");
        StartWithCardSelected();
        desktop.SetFormatter(std::move(formatter));
        desktop.AnswerMessage(MessageAnswer::Yes);
        dialog->OnCommand(ControlId::Initialize);
    }
};

TEST_F(FormatOutcomeTest, ARefusedOrFailedFormatWritesNothingOntoTheCard) {
    Initialize([](int, const MediumIdentity&) { return FormatOutcome::Refused; });
    EXPECT_EQ(machine.ReadOnDrive('E', "OLD.TXT"), "kept");
    EXPECT_FALSE(machine.ExistsOnDrive('E', "VM"));
    EXPECT_FALSE(machine.ExistsOnDrive('E', "VOCELL-RESTORE-INTERRUPTED.TXT"));
    EXPECT_EQ(dialog->lastOutcome()->reason, operations::StopReason::NotFormatted);
    EXPECT_EQ(desktop.Pane(0), text::kReady);
    EXPECT_EQ(desktop.busyDepth(), 0);
}

TEST_F(FormatOutcomeTest, AFormatThatReportsSuccessOnAnotherDiskInstallsNothing) {
    Initialize([&](int, const MediumIdentity&) {
        machine.volumes().PlugInAnotherDisk('E', "PHOTOS");
        machine.PutOnDrive('E', "PHOTO.JPG", "photo");
        return FormatOutcome::Formatted;
    });
    EXPECT_EQ(machine.ReadOnDrive('E', "PHOTO.JPG"), "photo");
    EXPECT_FALSE(machine.ExistsOnDrive('E', "VM"));
    EXPECT_EQ(messages().back(), text::kPleaseSelectDevice);
}

}  // namespace
}  // namespace vocell::test
