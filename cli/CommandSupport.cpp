#include "cli/CommandSupport.h"

#include <system_error>

#include "common/Messages.h"

namespace vocell::cli {

std::string Shown(const std::string& version) { return version.empty() ? "none" : version; }

bool CheckCardFolder(Console& console, const std::filesystem::path& cardFolder) {
    std::error_code error;
    if (std::filesystem::is_directory(cardFolder, error)) return true;
    console.Complain(std::string(text::cli::kCardFolderNotFound) + cardFolder.string());
    return false;
}

bool CheckArchiveFile(Console& console, const std::filesystem::path& archiveFile) {
    std::error_code error;
    if (std::filesystem::is_regular_file(archiveFile, error)) return true;
    console.Complain(std::string(text::cli::kFileNotFound) + archiveFile.string());
    return false;
}

std::optional<std::string> WindowsPathOf(Console& console, const std::filesystem::path& file) {
    auto path = posix::HostDrives::HostPath(file);
    if (!path) console.Complain(std::string(text::cli::kPathWithBackslash) + file.string());
    return path;
}

}  // namespace vocell::cli
