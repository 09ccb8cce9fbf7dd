// The Windows program: the common controls, one main dialog run modally, and the end of the
// program when it closes.

#include <windows.h>

#include <commctrl.h>

#include "app/UtilityApp.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Volumes.h"
#include "windows/MainDialog.h"
#include "windows/Win32Desktop.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    // A reader without a card answers the media test itself instead of the system asking the
    // user to insert a disk.
    ::SetErrorMode(::GetErrorMode() | SEM_FAILCRITICALERRORS);

    vocell::win32::Win32Desktop desktop;
    vocell::win32::Win32Volumes volumes;
    vocell::win32::Win32FileSystem fileSystem;
    vocell::UtilityApp app(desktop, volumes, fileSystem);
    vocell::win32::RunMainDialog(app.dialog(), desktop);
    return 0;
}
