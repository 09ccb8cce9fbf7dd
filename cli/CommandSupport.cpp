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

bool CheckNotOnCard(Console& console, const std::filesystem::path& archiveFile,
                    const std::filesystem::path& cardFolder) {
    std::error_code error;
    const auto card = std::filesystem::weakly_canonical(cardFolder, error);
    const auto file = std::filesystem::weakly_canonical(std::filesystem::absolute(archiveFile), error);
    const auto mismatch = std::mismatch(card.begin(), card.end(), file.begin(), file.end());
    if (mismatch.first != card.end()) return true;
    console.complain("The archive " + archiveFile.string() +
                     " is on the card itself; keep archives on the computer.");
    return false;
}

std::optional<std::string> WindowsPathOf(Console& console, const std::filesystem::path& file) {
    auto path = HostDrives::HostPath(file);
    if (!path) console.complain("The path " + file.string() + " cannot be used: it holds a backslash.");
    return path;
}

}  // namespace vocell::cli
