#pragma once
// The commands of the vocell command line. Each returns the process exit status.

#include <filesystem>
#include <optional>

#include "cli/Console.h"

namespace vocell::cli {

enum ExitStatus : int {
    kDone = 0,
    kFailed = 1,  // the operation failed or left entries out
    kUsage = 2,
    kInvalidArchive = 3,  // not a valid card archive
};

enum class PromptChoice { Keep, Replace };

int RunBackup(Console& console, const std::filesystem::path& cardFolder, std::filesystem::path archiveFile);
int RunRestore(Console& console, const std::filesystem::path& archiveFile,
               const std::filesystem::path& cardFolder, std::optional<PromptChoice> choice);
int RunUpdate(Console& console, const std::filesystem::path& packageFile,
              const std::filesystem::path& cardFolder, bool confirmed);
int RunInit(Console& console, const std::filesystem::path& cardFolder);
int RunList(Console& console, const std::filesystem::path& archiveFile, bool json);
int RunVerify(Console& console, const std::filesystem::path& archiveFile,
              const std::optional<std::filesystem::path>& cardFolder);
int RunVersion(Console& console, const std::filesystem::path& cardOrArchive);

}  // namespace vocell::cli
