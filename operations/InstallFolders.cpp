#include "operations/InstallFolders.h"

#include <string>

#include "common/Messages.h"

namespace vocell::operations {
namespace {

FileDialogSettings ArchiveDialog(std::string_view folder, std::string_view extension) {
    FileDialogSettings settings;
    settings.initialFolder = std::string(folder) + "\\";
    settings.fileName = "*." + std::string(extension);
    settings.filterDescription = std::string(text::kArchiveFileType) + " (*." + std::string(extension) + ")";
    settings.filterPattern = "*." + std::string(extension);
    return settings;
}

}  // namespace

FileDialogSettings BackupSaveDialog() {
    FileDialogSettings settings = ArchiveDialog(kBackupFolder, "vcb");
    settings.defaultExtension = "vcb";
    settings.overwritePrompt = true;
    settings.pathMustExist = true;
    return settings;
}

FileDialogSettings BackupOpenDialog() {
    FileDialogSettings settings = ArchiveDialog(kBackupFolder, "vcb");
    settings.fileMustExist = true;
    settings.hideReadOnly = true;
    return settings;
}

FileDialogSettings PromptPackageOpenDialog() {
    FileDialogSettings settings = ArchiveDialog(kPromptsFolder, "vcp");
    settings.fileMustExist = true;
    settings.hideReadOnly = true;
    return settings;
}

}  // namespace vocell::operations
