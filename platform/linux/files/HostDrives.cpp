#include "platform/linux/files/HostDrives.h"

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

std::optional<std::filesystem::path> UserBackupFolder() {
    if (const char* home = std::getenv("VOCELL_HOME"); home != nullptr && *home != '\0') return std::nullopt;
    std::filesystem::path data;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg == '/') {
        data = xdg;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/') {
        data = std::filesystem::path(home) / ".local" / "share";
    } else {
        return std::nullopt;
    }
    const auto backup = data / "vocell" / "Backup";
    std::error_code error;
    std::filesystem::create_directories(backup, error);
    if (!std::filesystem::is_directory(backup, error)) return std::nullopt;
    return backup;
}

HostDrives::HostDrives(const std::filesystem::path& cardFolder) {
    baseDrives_.AddMount(kHostDrive, "/", MountReach::AnyFileSystem);
    baseDrives_.AddMount(kInstallFolder, InstallHome());
    if (auto backup = UserBackupFolder()) baseDrives_.AddMount(kBackupInstallFolder, *backup);
    drives_ = baseDrives_;
    if (!cardFolder.empty()) drives_.AddMount(kCardDrive, std::filesystem::absolute(cardFolder));
    fileSystem_ = std::make_unique<posix::PosixFileSystem>(drives_);
}

void HostDrives::MountRemovableDrives(const std::map<char, std::filesystem::path>& mountPoints) {
    drives_ = baseDrives_;
    for (const auto& [letter, directory] : mountPoints)
        drives_.AddMount(std::string(1, letter) + ":", directory);
    fileSystem_->Remount(drives_);
}

std::optional<std::filesystem::path> HostDrives::HostPathOf(const std::string& windowsPath) const {
    auto resolved = drives_.Resolve(windowsPath);
    if (!resolved.ok()) return std::nullopt;
    std::filesystem::path path = resolved.value().directory;
    for (const std::string& component : resolved.value().components) path /= component;
    return path;
}

std::optional<std::string> HostDrives::HostPath(const std::filesystem::path& hostFile) {
    // The user's own path is resolved as the system resolves it, links included: only paths on
    // the card are never followed through a link.
    std::error_code error;
    std::filesystem::path resolved =
        std::filesystem::weakly_canonical(std::filesystem::absolute(hostFile), error);
    if (error) resolved = std::filesystem::absolute(hostFile).lexically_normal();
    const std::string absolute = resolved.string();
    if (absolute.find('\\') != std::string::npos) return std::nullopt;
    std::string path = std::string(kHostDrive) + absolute;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

}  // namespace vocell::posix
