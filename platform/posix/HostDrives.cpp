#include "platform/posix/HostDrives.h"

#include <cstdlib>
#include <system_error>

#ifndef VOCELL_BUILD_HOME
#define VOCELL_BUILD_HOME ""
#endif
#ifndef VOCELL_INSTALL_HOME
#define VOCELL_INSTALL_HOME ""
#endif

namespace vocell::posix {

std::filesystem::path InstallHome() {
    if (const char* home = std::getenv("VOCELL_HOME"); home != nullptr && *home != '\0') return home;
    std::error_code error;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        auto beside = program.parent_path().parent_path() / "share" / "vocell";
        if (std::filesystem::is_directory(beside, error)) return beside;
    }
    if (std::filesystem::is_directory(VOCELL_INSTALL_HOME, error)) return VOCELL_INSTALL_HOME;
    return VOCELL_BUILD_HOME;
}

HostDrives::HostDrives(const std::filesystem::path& cardFolder) {
    posix::DriveMap drives;
    drives.AddMount(kHostDrive, "/");
    drives.AddMount(kInstallFolder, InstallHome());
    if (!cardFolder.empty()) drives.AddMount(kCardDrive, std::filesystem::absolute(cardFolder));
    fileSystem_ = std::make_unique<posix::PosixFileSystem>(std::move(drives));
}

std::optional<std::string> HostDrives::HostPath(const std::filesystem::path& hostFile) {
    const std::string absolute = std::filesystem::absolute(hostFile).lexically_normal().string();
    if (absolute.find('\\') != std::string::npos) return std::nullopt;
    std::string path = std::string(kHostDrive) + absolute;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

}  // namespace vocell::posix
