#include "windows/DialogRunner.h"

namespace vocell::win32 {

HINSTANCE ModuleInstance() { return ::GetModuleHandleA(nullptr); }

INT_PTR RunDialog(HWND owner, int templateId, DLGPROC procedure, void* data) {
    return ::DialogBoxParamA(ModuleInstance(), MAKEINTRESOURCEA(templateId), owner, procedure,
                             reinterpret_cast<LPARAM>(data));
}

INT_PTR AnswerMessage(HWND window, LONG_PTR result) {
    ::SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
    return TRUE;
}

}  // namespace vocell::win32
