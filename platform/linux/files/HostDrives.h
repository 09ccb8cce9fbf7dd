#pragma once
// How a Linux program puts host folders and files into the card's Windows-style paths: the card
// is drive E: (a folder given to the program) or the removable drives' own letters, the whole
// host file system is drive Z: (as Wine does it), C:\Harlo\Vocell\Prompts and ...\Data are the
// installed data directory and C:\Harlo\Vocell\Backup is the user's backup folder.

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/linux/files/PosixFileSystem.h"

namespace vocell::posix {

inline constexpr const char* kCardRoot = "E:\\";
inline constexpr const char* kCardDrive = "E:";
inline constexpr const char* kHostDrive = "Z:";
inline constexpr const char* kInstallFolder = "C:\\Harlo\\Vocell";
inline constexpr const char* kBackupInstallFolder = "C:\\Harlo\\Vocell\\Backup";

// The installed data directory: VOCELL_HOME, else the install prefix's share/vocell beside the
// program, else the build tree's.
std::filesystem::path InstallHome();

// The user's backup folder, vocell/Backup in their data directory ($XDG_DATA_HOME, else
// ~/.local/share), created when it is missing. Nothing when VOCELL_HOME is set (a portable
// install keeps its backups in its own Backup folder) or when the folder cannot be made; backups
// then go to the Backup folder of the installed data directory.
std::optional<std::filesystem::path> UserBackupFolder();

class HostDrives {
public:
    // cardFolder may be empty when the command works on archives only, or when the removable
    // drives are mounted with MountRemovableDrives.
    explicit HostDrives(const std::filesystem::path& cardFolder);

    FileSystem& fileSystem() { return *fileSystem_; }
    // Maps each letter on its drive's mount point, replacing the drives mapped before.
    void MountRemovableDrives(const std::map<char, std::filesystem::path>& mountPoints);
    // The host path of a Windows-style path; nothing for one on no drive.
    [[nodiscard]] std::optional<std::filesystem::path> HostPathOf(const std::string& windowsPath) const;
    // The Windows-style path of a host file on drive Z:; nothing for a path that cannot be
    // written so (one with a backslash in a name).
    static std::optional<std::string> HostPath(const std::filesystem::path& hostFile);

private:
    DriveMap baseDrives_;
    DriveMap drives_;
    std::unique_ptr<posix::PosixFileSystem> fileSystem_;
};

}  // namespace vocell::posix
