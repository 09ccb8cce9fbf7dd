#include "windows/FileDialogs.h"

#include <commdlg.h>

#include <array>

namespace vocell::win32 {

DWORD FileDialogFlags(const FileDialogSettings& settings) {
    DWORD flags = OFN_EXPLORER | OFN_NOCHANGEDIR;
    if (settings.overwritePrompt) flags |= OFN_OVERWRITEPROMPT;
    if (settings.pathMustExist) flags |= OFN_PATHMUSTEXIST;
    if (settings.fileMustExist) flags |= OFN_FILEMUSTEXIST;
    if (settings.hideReadOnly) flags |= OFN_HIDEREADONLY;
    return flags;
}

std::string FileDialogFilter(const FileDialogSettings& settings) {
    std::string filter = settings.filterDescription;
    filter += '\0';
    filter += settings.filterPattern;
    filter += '\0';
    filter += '\0';
    return filter;
}

std::optional<std::string> RunFileDialog(HWND owner, const FileDialogSettings& settings,
                                         FileDialogKind kind) {
    std::array<char, MAX_PATH> path{};
    settings.fileName.copy(path.data(), path.size() - 1);
    const std::string filter = FileDialogFilter(settings);

    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrInitialDir = settings.initialFolder.empty() ? nullptr : settings.initialFolder.c_str();
    dialog.lpstrDefExt = settings.defaultExtension.empty() ? nullptr : settings.defaultExtension.c_str();
    dialog.Flags = FileDialogFlags(settings);

    const BOOL chosen =
        kind == FileDialogKind::Save ? ::GetSaveFileNameA(&dialog) : ::GetOpenFileNameA(&dialog);
    if (!chosen) return std::nullopt;
    return std::string(path.data());
}

}  // namespace vocell::win32
