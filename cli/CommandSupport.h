#pragma once
// Checks and conversions the commands share.

#include <filesystem>
#include <optional>
#include <string>

#include "cli/Console.h"
#include "platform/linux/files/HostDrives.h"

namespace vocell::cli {

// A version text for a report: the text, or "none".
std::string Shown(const std::string& version);

bool CheckCardFolder(Console& console, const std::filesystem::path& cardFolder);
bool CheckArchiveFile(Console& console, const std::filesystem::path& archiveFile);
// The file's path on the host drive, or a complaint.
std::optional<std::string> WindowsPathOf(Console& console, const std::filesystem::path& file);

}  // namespace vocell::cli
