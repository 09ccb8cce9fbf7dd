#pragma once
// The main dialog on a fake machine with a scripted desktop. C: is a fixed disk; cards are added
// as removable drives with a slot-0 prompt version, or without prompts.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "app/UtilityDialog.h"
#include "common/Messages.h"
#include "tests/support/FakeMachine.h"
#include "tests/support/FaultInjectingFileSystem.h"
#include "tests/support/ScriptedDesktop.h"

namespace vocell::test {

class DialogTest : public ::testing::Test {
protected:
    // A removable drive holding a card; versionCode is the content of its slot-0 VERSION.TXT
    // (nothing for a card without prompts).
    void AddCard(char letter, const std::string& label = "VMCARD",
                 std::optional<std::string> versionCode = "0131") {
        machine.volumes().AddDrive(letter, DriveType::Removable, true, label);
        if (versionCode) PutPrompts(letter, *versionCode);
    }
    void PutPrompts(char letter, const std::string& versionCode) {
        machine.PutOnDrive(letter, "VM/PROMPTS/0/0/0/VERSION.TXT", versionCode);
        machine.PutOnDrive(letter, "VM/PROMPTS/0/0/1/WELCOME.WAV", "card prompt " + versionCode);
    }

    // Creates the dialog and runs its initialisation.
    void Start(FileSystem* fileSystem = nullptr) {
        desktop.SetFormatter([this](int driveIndex, const MediumIdentity& medium) {
            return machine.volumes().Format(driveIndex, medium);
        });
        dialog = std::make_unique<UtilityDialog>(desktop, machine.volumes(),
                                                 fileSystem ? *fileSystem : machine.fileSystem());
        dialog->SetScreenClock([this] { return screenTime += screenTick; });
        dialog->OnInitDialog();
    }
    // Presses Select and picks a chooser entry.
    void Select(int entry = 0) {
        desktop.AnswerChooser(entry);
        dialog->SelectCard();
    }
    // Starts and selects the first card, ready for an operation.
    void StartWithCardSelected(FileSystem* fileSystem = nullptr) {
        Start(fileSystem);
        Select(0);
        ASSERT_EQ(dialog->cardFields().statusText, text::kReady);
    }

    const operations::CardFields& fields() const { return dialog->cardFields(); }
    const std::vector<std::string>& messages() const { return desktop.messages(); }
    // The open dialog of an archive: in folder, for pattern's files, which must exist.
    static FileDialogSettings OpenDialogFor(const std::string& folder, const std::string& pattern) {
        FileDialogSettings settings;
        settings.initialFolder = folder;
        settings.fileName = settings.filterPattern = pattern;
        settings.filterDescription = "Vocell Greeting & Data Files (" + pattern + ")";
        settings.fileMustExist = settings.hideReadOnly = true;
        return settings;
    }
    // The Windows path of a file in the install folder's Backup folder.
    static std::string BackupPath(const std::string& name) { return "C:\\Harlo\\Vocell\\Backup\\" + name; }
    std::filesystem::path BackupFile(const std::string& name) const {
        return machine.installFolder() / "Backup" / name;
    }

    FakeMachine machine;
    ScriptedDesktop desktop;
    std::unique_ptr<UtilityDialog> dialog;
    // The clock that paces a long operation's drawing moves on by screenTick at each reading: by
    // default every step is drawn.
    std::chrono::steady_clock::time_point screenTime{};
    std::chrono::milliseconds screenTick{1000};
};

}  // namespace vocell::test
