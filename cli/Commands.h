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
// readBack: what is written onto the card is read back from it and compared (--no-verify skips it).
int RunRestore(Console& console, const std::filesystem::path& archiveFile,
               const std::filesystem::path& cardFolder, std::optional<PromptChoice> choice, bool readBack);
int RunUpdate(Console& console, const std::filesystem::path& packageFile,
              const std::filesystem::path& cardFolder, bool confirmed, bool readBack);
int RunInit(Console& console, const std::filesystem::path& cardFolder, bool readBack);
int RunList(Console& console, const std::filesystem::path& archiveFile, bool json);
int RunVerify(Console& console, const std::filesystem::path& archiveFile,
              const std::optional<std::filesystem::path>& cardFolder);
int RunVersion(Console& console, const std::filesystem::path& cardOrArchive);

}  // namespace vocell::cli
