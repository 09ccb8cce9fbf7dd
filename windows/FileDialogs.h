#pragma once
// The system's open and save dialogs with the settings an operation asks for.

#include <windows.h>

#include <optional>
#include <string>

#include "app/Desktop.h"

namespace vocell::win32 {

enum class FileDialogKind { Open, Save };

// The OFN_ options of the settings, plus the Explorer look and leaving the current folder alone.
DWORD FileDialogFlags(const FileDialogSettings& settings);
// "Vocell Greeting & Data Files (*.vcb)\0*.vcb\0\0", as the dialog takes its filter.
std::string FileDialogFilter(const FileDialogSettings& settings);

// The full path chosen, or nothing when the user cancelled.
std::optional<std::string> RunFileDialog(HWND owner, const FileDialogSettings& settings, FileDialogKind kind);

}  // namespace vocell::win32
