#pragma once
// How a Linux program puts host folders and files into the card's Windows-style paths: the card
// folder is drive E:, the whole host file system is drive Z: (as Wine does it) and the install
// folder C:\Harlo\Vocell is the installed data directory.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/posix/PosixFileSystem.h"

namespace vocell::posix {

inline constexpr const char* kCardRoot = "E:\\";
inline constexpr const char* kCardDrive = "E:";
inline constexpr const char* kHostDrive = "Z:";
inline constexpr const char* kInstallFolder = "C:\\Harlo\\Vocell";

// The installed data directory: VOCELL_HOME, else the install prefix's share/vocell beside the
// program, else the build tree's.
std::filesystem::path InstallHome();

class HostDrives {
public:
    // cardFolder may be empty when the command works on archives only.
    explicit HostDrives(const std::filesystem::path& cardFolder);

    FileSystem& fileSystem() { return *fileSystem_; }
    // The Windows-style path of a host file on drive Z:; nothing for a path that cannot be
    // written so (one with a backslash in a name).
    static std::optional<std::string> HostPath(const std::filesystem::path& hostFile);

private:
    std::unique_ptr<posix::PosixFileSystem> fileSystem_;
};

}  // namespace vocell::posix
