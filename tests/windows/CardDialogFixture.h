#pragma once
// The main dialog on the Windows file system and drives, driven by a scripted desktop, and a
// snapshot of a card's tree to compare before and after.

#include <algorithm>
#include <map>
#include <memory>
#include <string>

#include "WineDrives.h"
#include "app/DialogLayout.h"
#include "app/UtilityDialog.h"
#include "common/Messages.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Volumes.h"
#include "tests/support/ScriptedDesktop.h"

namespace vocell::win32::test {

constexpr char kBackupFolder[] = "C:\\Harlo\\Vocell\\Backup\\";

struct Entry {
    std::string content;  // empty for a folder
    DWORD attributes = 0;
    EntryTimes times;
    bool operator==(const Entry&) const = default;
};
using Tree = std::map<std::string, Entry>;

// Everything below a folder, read with the tests' own Win32 calls.
inline void Snapshot(const std::string& folder, Tree& tree) {
    WIN32_FIND_DATAA found{};
    HANDLE listing = ::FindFirstFileA((folder + "*").c_str(), &found);
    if (listing == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == ".." || name.starts_with(".windows-")) continue;
        const std::string path = folder + name;
        const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        tree[path] = {isFolder ? std::string() : GetFile(path), AttributesOf(path), TimesOf(path)};
        if (isFolder) Snapshot(path + "\\", tree);
    } while (::FindNextFileA(listing, &found));
    ::FindClose(listing);
}

class CardOnWineDrives : public ::testing::Test {
protected:
    void Start() {
        dialog_ = std::make_unique<UtilityDialog>(desktop_, volumes_, fileSystem_);
        dialog_->OnInitDialog();
        ASSERT_FALSE(desktop_.endedWith().has_value()) << "the installation is missing";
    }
    // Presses Select and picks the chooser's entry for the drive.
    void Select(char drive) {
        desktop_.AnswerChooser(SlotOf(drive));
        dialog_->OnCommand(ControlId::Select);
        ASSERT_EQ(dialog_->cardFields().statusText, text::kReady);
    }
    int SlotOf(char drive) const {
        const auto& roots = dialog_->deviceSlots().slotRoots;
        return static_cast<int>(std::find(roots.begin(), roots.end(), RootOf(drive)) - roots.begin());
    }
    void Backup(const std::string& archive) {
        desktop_.AnswerSaveDialog(archive);
        dialog_->OnCommand(ControlId::Backup);
        ASSERT_EQ(desktop_.messages().back(), text::kBackupComplete);
    }
    bool Shown(std::string_view message) const {
        return std::count(desktop_.messages().begin(), desktop_.messages().end(), message) > 0;
    }

    vocell::test::ScriptedDesktop desktop_;
    Win32Volumes volumes_;
    Win32FileSystem fileSystem_;
    std::unique_ptr<UtilityDialog> dialog_;
};

}  // namespace vocell::win32::test
