#include "windows/AboutDialog.h"

#include "windows/DialogRunner.h"
#include "windows/ResourceIds.h"

namespace vocell::win32 {
namespace {

INT_PTR CALLBACK AboutProcedure(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                ::EndDialog(window, LOWORD(wParam));
                return TRUE;
            }
            break;
        default: break;
    }
    return FALSE;
}

}  // namespace

void RunAboutDialog(HWND owner) { RunDialog(owner, IDD_ABOUTBOX, AboutProcedure, nullptr); }

}  // namespace vocell::win32
