#pragma once
// The drives of a test machine in a fresh temporary directory. Every drive letter A..Z is
// mounted on <temp>/drives/<letter>, which exists only while the drive holds a medium (the file
// system answers NotReady otherwise), and the install folder C:\Harlo\Vocell on <temp>/install
// with the built prompt package and initial card structure in it. Drive C: is there from the
// start, a fixed disk; FakeVolumes plugs in the rest.

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"
#include "tests/support/FakeVolumes.h"
#include "tests/support/FolderDrives.h"
#include "tests/support/TempDirectory.h"

namespace vocell::test {

class FakeMachine {
public:
    // cards: letters of removable drives plugged in with a medium from the start; when there
    // are any, Z: is a fixed host drive too, where tests keep archives.
    explicit FakeMachine(std::string_view cards = "");
    ~FakeMachine();
    FakeMachine(const FakeMachine&) = delete;
    FakeMachine& operator=(const FakeMachine&) = delete;

    // The platform's file system over the machine's drives; it notices at once a medium that
    // comes or goes.
    [[nodiscard]] FileSystem& fileSystem();
    [[nodiscard]] FakeVolumes& volumes() { return volumes_; }

    [[nodiscard]] std::filesystem::path root() const { return temp_.path(); }
    // Holds Backup/, Prompts/PromptUpdateVer1_3_1.vcp and Data/InitializedFileStruct.vcb.
    [[nodiscard]] std::filesystem::path installFolder() const { return temp_.path() / "install"; }
    // Deletes a file or folder below the install folder: "Data", "Prompts/....vcp".
    void RemoveInstalled(const std::string& relative);

    // The host folder of the drive's medium while it is in the drive.
    [[nodiscard]] std::filesystem::path DriveFolder(char letter) const;
    // Relative paths use "/" (or "\"). putOnDrive creates the folders on the way and throws
    // std::logic_error when the drive holds no medium; readOnDrive throws when the file is
    // missing.
    void PutOnDrive(char letter, const std::string& relative, const std::string& content);
    [[nodiscard]] std::string ReadOnDrive(char letter, const std::string& relative) const;
    [[nodiscard]] bool ExistsOnDrive(char letter, const std::string& relative) const;

private:
    void Install();

    TempDirectory temp_;
    FolderDrives drives_;
    std::unique_ptr<FileSystem> fileSystem_;
    FakeVolumes volumes_;
};

}  // namespace vocell::test
