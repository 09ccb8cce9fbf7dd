#pragma once
// The installation's folders and files, and the file dialogs that start in them.

#include <string_view>

#include "operations/OperationDesktop.h"

namespace vocell::operations {

inline constexpr std::string_view kBackupFolder = "C:\\Harlo\\Vocell\\Backup";
inline constexpr std::string_view kPromptsFolder = "C:\\Harlo\\Vocell\\Prompts";
inline constexpr std::string_view kDataFolder = "C:\\Harlo\\Vocell\\Data";
inline constexpr std::string_view kPromptPackage = "C:\\Harlo\\Vocell\\Prompts\\PromptUpdateVer1_3_1.vcp";
inline constexpr std::string_view kInitialStructureArchive =
    "C:\\Harlo\\Vocell\\Data\\InitializedFileStruct.vcb";

FileDialogSettings BackupSaveDialog();
FileDialogSettings BackupOpenDialog();
FileDialogSettings PromptPackageOpenDialog();

}  // namespace vocell::operations
