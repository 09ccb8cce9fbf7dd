#pragma once
// The one way the program runs a dialog: a template of this module, a dialog procedure and the
// dialog's data, which the procedure finds again with DialogData.

#include <windows.h>

namespace vocell::win32 {

INT_PTR RunDialog(HWND owner, int templateId, DLGPROC procedure, void* data);

// The data RunDialog was given: stored at WM_INITDIALOG, read back for every later message;
// nothing for the few messages that come before it.
template <class Data>
Data* DialogData(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrA(window, DWLP_USER, lParam);
        return reinterpret_cast<Data*>(lParam);
    }
    return reinterpret_cast<Data*>(::GetWindowLongPtrA(window, DWLP_USER));
}

// Sets the result of a message whose answer is not the dialog procedure's return value.
INT_PTR AnswerMessage(HWND window, LONG_PTR result);

// The module's instance, which holds the templates.
HINSTANCE ModuleInstance();

}  // namespace vocell::win32
