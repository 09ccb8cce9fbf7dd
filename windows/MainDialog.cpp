#include "windows/MainDialog.h"

#include <exception>
#include <string>

#include "app/DialogLayout.h"
#include "common/Messages.h"
#include "windows/DialogRunner.h"
#include "windows/Dpi.h"
#include "windows/FieldLabels.h"
#include "windows/MessageMap.h"
#include "windows/ResourceIds.h"

namespace vocell::win32 {

static_assert(IDC_SELECT == ControlId::Select && IDC_BACKUP == ControlId::Backup &&
              IDC_RESTORE == ControlId::Restore && IDC_UPDATE == ControlId::Update &&
              IDC_INITIALIZE == ControlId::Initialize && IDC_DEVICE_LIST == ControlId::DeviceList &&
              IDC_STATUS == ControlId::Status && IDC_DEVICE == ControlId::Device &&
              IDC_CARD_TYPE == ControlId::CardType && IDC_PROMPT_VERSION == ControlId::PromptVersion &&
              IDC_STATUS_BAR == ControlId::StatusBar && IDC_PROGRESS_BAR == ControlId::ProgressBar);
static_assert(IDM_ABOUTBOX == kAboutCommand && IDS_ABOUTBOX == kAboutMenuString);

namespace {

void AddAboutItem(HWND window) {
    HMENU systemMenu = ::GetSystemMenu(window, FALSE);
    char text[256] = {};
    if (systemMenu == nullptr || ::LoadStringA(ModuleInstance(), IDS_ABOUTBOX, text, sizeof text) <= 0)
        return;
    ::AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, text);
}

// The large icon and the title bar's small one, each in the size of the window's DPI.
void SetIcons(HWND window, MainDialogData& data) {
    const int dpi = DpiOf(window);
    HICON previousIcon = data.icon;
    HICON previousSmallIcon = data.smallIcon;
    auto load = [dpi](int width, int height) {
        return static_cast<HICON>(::LoadImageA(ModuleInstance(), MAKEINTRESOURCEA(IDI_VOCELL_UTILITY),
                                               IMAGE_ICON, SystemMetricForDpi(width, dpi),
                                               SystemMetricForDpi(height, dpi), LR_DEFAULTCOLOR));
    };
    data.icon = load(SM_CXICON, SM_CYICON);
    data.smallIcon = load(SM_CXSMICON, SM_CYSMICON);
    ::SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(data.icon));
    ::SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(data.smallIcon));
    for (HICON previous : {previousIcon, previousSmallIcon}) {
        if (previous != nullptr) ::DestroyIcon(previous);
    }
}

// Minimised, the dialog shows its icon centred in what is left of it.
bool PaintIconWhenMinimised(HWND window, const MainDialogData& data) {
    if (!::IsIconic(window)) return false;
    PAINTSTRUCT paint{};
    HDC context = ::BeginPaint(window, &paint);
    ::SendMessageA(window, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(context), 0);
    RECT client{};
    ::GetClientRect(window, &client);
    const int dpi = DpiOf(window);
    const int x = (client.right - client.left - SystemMetricForDpi(SM_CXICON, dpi) + 1) / 2;
    const int y = (client.bottom - client.top - SystemMetricForDpi(SM_CYICON, dpi) + 1) / 2;
    ::DrawIcon(context, x, y, data.icon);
    ::EndPaint(window, &paint);
    return true;
}

INT_PTR InitDialog(HWND window, MainDialogData& data) {
    data.desktop.AttachWindow(window);
    AddAboutItem(window);
    SetIcons(window, data);
    FitFieldLabels(window);
    data.dialog.OnInitDialog();
    return TRUE;  // the focus goes to the first control
}

// Moved to a monitor of other DPI: the size the system suggests, the icons, bars and panes for it,
// and the field labels fitted to the font of that DPI.
INT_PTR DpiChanged(HWND window, const RECT& suggested, MainDialogData& data) {
    data.desktop.FollowDpiChange(suggested);
    FitFieldLabels(window);
    SetIcons(window, data);
    data.dialog.OnDpiChanged();
    return TRUE;
}

INT_PTR Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam, MainDialogData& data) {
    if (message != 0 && message == data.queryCancelAutoPlay) {
        return AnswerMessage(window, data.dialog.OnQueryCancelAutoPlay());
    }
    switch (message) {
        case WM_INITDIALOG: return InitDialog(window, data);
        case WM_COMMAND:
            if (auto command = CommandOf(LOWORD(wParam), HIWORD(wParam))) {
                data.dialog.OnCommand(*command);
                return TRUE;
            }
            return FALSE;
        case WM_SYSCOMMAND:
            if (!IsAboutCommand(static_cast<std::uint32_t>(wParam))) return FALSE;
            data.dialog.OnSysCommand(static_cast<std::uint32_t>(wParam));
            return TRUE;
        case WM_DEVICECHANGE:
            return AnswerMessage(window, data.dialog.OnDeviceChange(DeviceEventOf(wParam)) ? TRUE : FALSE);
        case WM_DPICHANGED: return DpiChanged(window, *reinterpret_cast<const RECT*>(lParam), data);
        case WM_PAINT: return PaintIconWhenMinimised(window, data) ? TRUE : FALSE;
        case WM_QUERYDRAGICON: return reinterpret_cast<INT_PTR>(data.icon);
        case WM_SETCURSOR:
            if (!data.desktop.busy()) return FALSE;
            ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
            return AnswerMessage(window, TRUE);
        case WM_DESTROY:
            for (HICON icon : {data.icon, data.smallIcon}) {
                if (icon != nullptr) ::DestroyIcon(icon);
            }
            data.desktop.AttachWindow(nullptr);
            return FALSE;
        default: return FALSE;
    }
}

INT_PTR CALLBACK MainDialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* data = DialogData<MainDialogData>(window, message, lParam);
    if (data == nullptr) return FALSE;
    // Nothing may unwind through the system's code that called this procedure.
    try {
        return Dispatch(window, message, wParam, lParam, *data);
    } catch (const std::exception& failure) {
        ::MessageBoxA(window, failure.what(), std::string(text::kApplicationTitle).c_str(),
                      MB_OK | MB_ICONSTOP);
        ::EndDialog(window, IDABORT);
        return TRUE;
    }
}

}  // namespace

INT_PTR RunMainDialog(UtilityDialog& dialog, Win32Desktop& desktop) {
    MainDialogData data{dialog, desktop};
    data.queryCancelAutoPlay = ::RegisterWindowMessageA(std::string(kQueryCancelAutoPlayMessage).c_str());
    return RunDialog(nullptr, IDD_MAIN_DIALOG, MainDialogProcedure, &data);
}

}  // namespace vocell::win32
