// The checks every card operation makes before it acts, as one table: each failing check shows
// its message and nothing else happens, no dialog, no question, no change on any card.

#include "app/DialogLayout.h"
#include "tests/support/DialogFixture.h"

namespace vocell::test {
namespace {

struct Operation {
    const char* name;
    int button;
};
constexpr Operation kBackup{"Backup", ControlId::Backup};
constexpr Operation kRestore{"Restore", ControlId::Restore};
constexpr Operation kUpdate{"Update", ControlId::Update};
constexpr Operation kInitialize{"Initialize", ControlId::Initialize};
void PrintTo(const Operation& operation, std::ostream* out) { *out << operation.name; }

class PreCheck : public DialogTest {
protected:
    void SetUp() override {
        AddCard('E', "VMCARD", "0110");
        machine.PutOnDrive('E', "VM/MSGS/M1.WAV", "message");
    }
    // Presses the button and checks that only message came of it.
    void ExpectRefused(const Operation& operation, std::string_view message, operations::StopReason reason) {
        const std::size_t before = messages().size();
        dialog->OnCommand(operation.button);
        ASSERT_EQ(messages().size(), before + 1);
        EXPECT_EQ(messages().back(), message);
        for (const char* dialogKind : {"save", "open", "format", "question"}) {
            EXPECT_TRUE(desktop.FilterTranscript(dialogKind).empty()) << dialogKind;
        }
        ASSERT_TRUE(dialog->lastOutcome());
        EXPECT_EQ(dialog->lastOutcome()->kind, operations::OutcomeKind::Stopped);
        EXPECT_EQ(dialog->lastOutcome()->reason, reason);
        EXPECT_EQ(desktop.busyDepth(), 0);
        for (char letter : {'E', 'F'}) {
            if (!machine.volumes().HasMedium(letter)) continue;
            EXPECT_EQ(machine.ReadOnDrive(letter, "VM/PROMPTS/0/0/1/WELCOME.WAV"), "card prompt 0110");
            EXPECT_EQ(machine.ReadOnDrive(letter, "VM/MSGS/M1.WAV"), "message");
        }
    }
};

class PreChecksTest : public PreCheck, public ::testing::WithParamInterface<Operation> {};

TEST_P(PreChecksTest, NoCardSelected) {
    Start();
    const int pushes = desktop.pushCount();
    ExpectRefused(GetParam(), text::kPleaseSelectDevice, operations::StopReason::NoCardSelected);
    EXPECT_EQ(desktop.pushCount(), pushes);  // not even a status refresh
}

TEST_P(PreChecksTest, ReaderWithoutACard) {
    StartWithCardSelected();
    machine.volumes().EjectMedium('E');
    ExpectRefused(GetParam(), text::kNoMediaPresent, operations::StopReason::NoMedia);
}

TEST_P(PreChecksTest, SelectedEntryWithoutADrive) {
    AddCard('F', "VMCARD", "0110");
    machine.PutOnDrive('F', "VM/MSGS/M1.WAV", "message");
    Start();
    Select(1);
    // E goes: F moves to slot 0 and the selected slot 1 is left without a list item.
    machine.volumes().RemoveDrive('E');
    dialog->OnDeviceChange(devices::DeviceEvent::RemoveComplete);
    dialog->OnCommand(ControlId::DeviceList);
    ExpectRefused(GetParam(), text::kInsertValidCard, operations::StopReason::NoDriveInSlot);
}

TEST_P(PreChecksTest, AnotherDriveInTheSelectedSlot) {
    machine.volumes().RemoveDrive('E');
    AddCard('F', "SECOND", "0110");
    machine.PutOnDrive('F', "VM/MSGS/M1.WAV", "message");
    StartWithCardSelected();
    machine.volumes().AddDrive('E', DriveType::Removable);  // takes slot 0, where F: was
    ExpectRefused(GetParam(), text::kPleaseSelectDevice, operations::StopReason::CardNoLongerSelected);
    EXPECT_EQ(fields().statusText, text::kCardNotSelected);
}

INSTANTIATE_TEST_SUITE_P(EveryOperation, PreChecksTest,
                         ::testing::Values(kBackup, kRestore, kUpdate, kInitialize),
                         [](const auto& param) { return std::string(param.param.name); });

struct MissingFolder {
    Operation operation;
    const char* folder;
    std::string_view message;
};

void PrintTo(const MissingFolder& missing, std::ostream* out) {
    *out << missing.operation.name << " without " << missing.folder;
}

class MissingInstallFolderTest : public PreCheck, public ::testing::WithParamInterface<MissingFolder> {};

TEST_P(MissingInstallFolderTest, StopsWithItsReinstallMessage) {
    StartWithCardSelected();
    machine.RemoveInstalled(GetParam().folder);
    ExpectRefused(GetParam().operation, GetParam().message, operations::StopReason::InstallFolderMissing);
}

INSTANTIATE_TEST_SUITE_P(EveryOperation, MissingInstallFolderTest,
                         ::testing::Values(MissingFolder{kBackup, "Backup", text::kBackupFolderMissing},
                                           MissingFolder{kRestore, "Backup", text::kBackupFolderMissing},
                                           MissingFolder{kRestore, "Data", text::kDataFolderMissing},
                                           MissingFolder{kUpdate, "Backup", text::kBackupFolderMissing},
                                           MissingFolder{kUpdate, "Prompts", text::kPromptsFolderMissing},
                                           MissingFolder{kUpdate, "Data", text::kDataFolderMissing},
                                           MissingFolder{kInitialize, "Backup", text::kBackupFolderMissing},
                                           MissingFolder{kInitialize, "Data", text::kDataFolderMissing}),
                         [](const auto& param) {
                             return std::string(param.param.operation.name) + "Without" + param.param.folder;
                         });

TEST_F(PreCheck, UpdateRefreshesTheStatusBeforeItsMediaTest) {
    StartWithCardSelected();
    machine.volumes().EjectMedium('E');
    ExpectRefused(kUpdate, text::kNoMediaPresent, operations::StopReason::NoMedia);
    EXPECT_EQ(fields().promptVersionText, "");  // the refresh ran and found no card
}

}  // namespace
}  // namespace vocell::test
