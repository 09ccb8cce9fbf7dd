#pragma once
// The main dialog (template 147). Its procedure only translates window messages into calls of
// the UtilityDialog, which decides everything.

#include <windows.h>

#include "app/UtilityDialog.h"
#include "windows/Win32Desktop.h"

namespace vocell::win32 {

struct MainDialogData {
    UtilityDialog& dialog;
    Win32Desktop& desktop;
    HICON icon = nullptr;
    HICON smallIcon = nullptr;
    // The shell's registered "QueryCancelAutoPlay" message.
    UINT queryCancelAutoPlay = 0;
};

// Runs the main dialog modally; IDOK or IDCANCEL as it ended.
INT_PTR RunMainDialog(UtilityDialog& dialog, Win32Desktop& desktop);

}  // namespace vocell::win32
