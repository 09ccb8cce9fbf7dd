#include "cli/CommandSupport.h"

#include <system_error>

namespace vocell::cli {

std::string Shown(const std::string& version) { return version.empty() ? "none" : version; }

bool CheckCardFolder(Console& console, const std::filesystem::path& cardFolder) {
    std::error_code error;
    if (std::filesystem::is_directory(cardFolder, error)) return true;
    console.complain("The card folder " + cardFolder.string() + " was not found.");
    return false;
}

bool CheckArchiveFile(Console& console, const std::filesystem::path& archiveFile) {
    std::error_code error;
    if (std::filesystem::is_regular_file(archiveFile, error)) return true;
    console.complain("The file " + archiveFile.string() + " was not found.");
    return false;
}

bool IsInside(const std::filesystem::path& file, const std::filesystem::path& folder) {
    std::error_code error;
    const auto base = std::filesystem::weakly_canonical(folder, error);
    const auto target = std::filesystem::weakly_canonical(std::filesystem::absolute(file), error);
    auto mismatch = std::mismatch(base.begin(), base.end(), target.begin(), target.end());
    return mismatch.first == base.end();
}

std::optional<std::string> WindowsPathOf(Console& console, const std::filesystem::path& file) {
    auto path = HostDrives::HostPath(file);
    if (!path) console.complain("The path " + file.string() + " cannot be used: it holds a backslash.");
    return path;
}

}  // namespace vocell::cli
