#include "windows/Win32Desktop.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>

#include "app/DialogLayout.h"
#include "common/Messages.h"
#include "platform/win32/Win32Volumes.h"
#include "windows/AboutDialog.h"
#include "windows/DialogRunner.h"
#include "windows/Dpi.h"
#include "windows/DriveChooserDialog.h"
#include "windows/FileDialogs.h"
#include "windows/ResourceIds.h"
#include "windows/WindowText.h"

namespace vocell::win32 {
namespace {

constexpr int kProgressRange = ProgressReport::kSteps;
constexpr UINT_PTR kBarTextSubclass = 1;

const std::string& ApplicationTitle() {
    static const std::string title(text::kApplicationTitle);
    return title;
}

Rect RectOf(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

// The progress bar's window text, drawn over the bar after the bar itself: the reading of how far
// the operation has come. (A tooltip would show only to a mouse resting on the bar, and the
// mouse waits while the operation runs.)
void DrawBarText(HWND bar, HDC given) {
    const std::string text = WindowText(bar);
    if (text.empty()) return;
    HDC context = given != nullptr ? given : ::GetDC(bar);
    RECT client{};
    ::GetClientRect(bar, &client);
    auto* font = reinterpret_cast<HFONT>(::SendMessageA(::GetParent(bar), WM_GETFONT, 0, 0));
    HGDIOBJ previous = font != nullptr ? ::SelectObject(context, font) : nullptr;
    ::SetBkMode(context, TRANSPARENT);
    ::SetTextColor(context, ::GetSysColor(COLOR_WINDOWTEXT));
    ::DrawTextA(context, text.c_str(), -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    if (previous != nullptr) ::SelectObject(context, previous);
    if (given == nullptr) ::ReleaseDC(bar, context);
}

LRESULT CALLBACK BarTextProcedure(HWND bar, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/,
                                  DWORD_PTR /*data*/) {
    switch (message) {
        case WM_PAINT:
        case WM_PRINTCLIENT: {
            const LRESULT painted = ::DefSubclassProc(bar, message, wParam, lParam);
            DrawBarText(bar, reinterpret_cast<HDC>(wParam));
            return painted;
        }
        case WM_NCDESTROY: ::RemoveWindowSubclass(bar, BarTextProcedure, kBarTextSubclass); break;
        default: break;
    }
    return ::DefSubclassProc(bar, message, wParam, lParam);
}

}  // namespace

UINT MessageBoxType(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::Ok: return MB_OK;
        case MessageButtons::YesNo: return MB_YESNO;
        case MessageButtons::YesNoCancel: return MB_YESNOCANCEL;
    }
    return MB_OK;
}

MessageAnswer AnswerOf(int result) {
    switch (result) {
        case IDYES: return MessageAnswer::Yes;
        case IDNO: return MessageAnswer::No;
        case IDCANCEL: return MessageAnswer::Cancel;
        default: return MessageAnswer::Ok;
    }
}

MessageAnswer Win32Desktop::ShowMessageBox(const std::string& text, MessageButtons buttons,
                                           MessageKind /*kind*/) {
    return AnswerOf(
        ::MessageBoxA(dialog_, text.c_str(), ApplicationTitle().c_str(), MessageBoxType(buttons)));
}

std::optional<std::string> Win32Desktop::SaveFileDialog(const FileDialogSettings& settings) {
    return RunFileDialog(dialog_, settings, FileDialogKind::Save);
}

std::optional<std::string> Win32Desktop::OpenFileDialog(const FileDialogSettings& settings) {
    return RunFileDialog(dialog_, settings, FileDialogKind::Open);
}

std::optional<int> Win32Desktop::RunDriveChooser(const std::vector<std::string>& entries, int selectedIndex) {
    return RunDriveChooserDialog(dialog_, entries, selectedIndex);
}

void Win32Desktop::ShowAbout() { RunAboutDialog(dialog_); }

FormatOutcome Win32Desktop::ShowFormatDialog(int driveIndex, const MediumIdentity& medium) {
    // Asked once more at the last moment: the shell formats whatever medium the drive holds.
    const std::string root = std::string(1, static_cast<char>('A' + driveIndex)) + ":\\";
    if (Win32Volumes().MediumIdentityOf(root) != medium) {
        ShowMessageBox(std::string(text::kPleaseSelectDevice), MessageButtons::Ok, MessageKind::Notice);
        return FormatOutcome::Refused;
    }
    // The shell's format dialog must have an owner window; owned by the main dialog, it also
    // keeps the user from starting anything else on the card meanwhile.
    switch (::SHFormatDrive(dialog_, static_cast<UINT>(driveIndex), SHFMT_ID_DEFAULT, SHFMT_OPT_FULL)) {
        case SHFMT_CANCEL: return FormatOutcome::Closed;
        case SHFMT_ERROR:
        case SHFMT_NOFORMAT:
            ShowMessageBox(
                std::string(text::format::kFormatFailed) + std::string(text::format::kSystemFormatFailed),
                MessageButtons::Ok, MessageKind::Notice);
            return FormatOutcome::Refused;
        default: return FormatOutcome::Formatted;  // the id of the format made
    }
}

bool Win32Desktop::CreateStatusBar(const Rect& area) {
    // The bar places itself along the bottom of the dialog, whatever the rectangle says.
    statusBar_ = ::CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | WS_BORDER, area.left,
                                   area.top, area.width(), area.height(), dialog_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_STATUS_BAR)),
                                   ModuleInstance(), nullptr);
    return statusBar_ != nullptr;
}

void Win32Desktop::LayoutStatusBar(const std::vector<int>& paneRightEdges, int minimumHeight) {
    if (statusBar_ == nullptr) return;
    ::SendMessageA(statusBar_, SB_SETMINHEIGHT, static_cast<WPARAM>(minimumHeight), 0);
    ::SendMessageA(statusBar_, SB_SETPARTS, paneRightEdges.size(),
                   reinterpret_cast<LPARAM>(paneRightEdges.data()));
    ::SendMessageA(statusBar_, WM_SIZE, 0, 0);
}

void Win32Desktop::SetStatusPane(int pane, const std::string& text) {
    if (statusBar_ == nullptr) return;
    ::SendMessageA(statusBar_, SB_SETTEXTA, static_cast<WPARAM>(pane),
                   reinterpret_cast<LPARAM>(text.c_str()));
    ::UpdateWindow(statusBar_);
}

void Win32Desktop::BeginBusyCursor() {
    if (busyDepth_++ == 0) ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
}

void Win32Desktop::EndBusyCursor() {
    if (busyDepth_ > 0 && --busyDepth_ == 0) ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
}

void Win32Desktop::CreateProgressBar(const Rect& area) {
    RemoveProgressBar();
    progressBar_ = ::CreateWindowExA(0, PROGRESS_CLASSA, nullptr, WS_CHILD | WS_VISIBLE | PBS_SMOOTH,
                                     area.left, area.top, area.width(), area.height(), dialog_,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PROGRESS_BAR)),
                                     ModuleInstance(), nullptr);
    if (progressBar_ == nullptr) return;
    ::SendMessageA(progressBar_, PBM_SETRANGE, 0, MAKELPARAM(0, kProgressRange));
    ::SendMessageA(progressBar_, PBM_SETPOS, 0, 0);
    ::SendMessageA(progressBar_, PBM_SETSTEP, 1, 0);
    ::SetWindowSubclass(progressBar_, BarTextProcedure, kBarTextSubclass, 0);
    ::UpdateWindow(progressBar_);
}

void Win32Desktop::ShowProgress(const ProgressReport& report) {
    if (progressBar_ == nullptr) return;
    const int position = std::clamp(report.position, 0, kProgressRange);
    if (position != static_cast<int>(::SendMessageA(progressBar_, PBM_GETPOS, 0, 0))) {
        // A themed bar glides forward on a timer, which never fires while an extraction keeps the
        // thread busy; moving back is drawn at once, so go one past and come back.
        if (position < kProgressRange)
            ::SendMessageA(progressBar_, PBM_SETPOS, static_cast<WPARAM>(position + 1), 0);
        ::SendMessageA(progressBar_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    }
    if (WindowText(progressBar_) != report.reading) {
        ::SetWindowTextA(progressBar_, report.reading.c_str());
        ::InvalidateRect(progressBar_, nullptr, TRUE);
    }
    ::UpdateWindow(progressBar_);
}

void Win32Desktop::RemoveProgressBar() {
    if (progressBar_ == nullptr) return;
    ::DestroyWindow(progressBar_);
    progressBar_ = nullptr;
    Repaint();
}

void Win32Desktop::SetFieldText(int controlId, const std::string& text) {
    HWND field = ::GetDlgItem(dialog_, controlId);
    if (field != nullptr && WindowText(field) != text) ::SetWindowTextA(field, text.c_str());
}

void Win32Desktop::ShowDeviceItems(const DialogFields& fields) {
    HWND list = ::GetDlgItem(dialog_, IDC_DEVICE_LIST);
    if (list == nullptr) return;
    ::SendMessageA(list, CB_RESETCONTENT, 0, 0);
    for (const std::string& item : fields.deviceItems) {
        ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    ::SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(fields.deviceSelection), 0);
}

void Win32Desktop::Push(const DialogFields& fields) {
    if (dialog_ == nullptr) return;
    SetFieldText(IDC_STATUS, fields.statusText);
    SetFieldText(IDC_DEVICE, fields.deviceText);
    SetFieldText(IDC_CARD_TYPE, fields.cardTypeText);
    SetFieldText(IDC_PROMPT_VERSION, fields.promptVersionText);
    ShowDeviceItems(fields);
    Repaint();
}

void Win32Desktop::Repaint() {
    // Paints what is pending now, instead of when the message loop next runs.
    if (dialog_ != nullptr) ::RedrawWindow(dialog_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void Win32Desktop::KeepResponding() {
    // Painting, the messages sent by the system and by other programs, and what is posted; the
    // keyboard and the mouse wait in the queue until the operation has ended. Bounded, so that a
    // window that keeps posting cannot hold the operation up.
    constexpr int kMostMessages = 200;
    constexpr UINT kAllButInput = PM_REMOVE | PM_QS_PAINT | PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE;
    MSG message{};
    for (int i = 0; i < kMostMessages && ::PeekMessageA(&message, nullptr, 0, 0, kAllButInput); ++i) {
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

Rect Win32Desktop::WindowRect() const {
    RECT rect{};
    ::GetWindowRect(dialog_, &rect);
    return RectOf(rect);
}

Rect Win32Desktop::ClientRect() const {
    RECT rect{};
    ::GetClientRect(dialog_, &rect);
    return RectOf(rect);
}

int Win32Desktop::WindowDpi() const { return dialog_ != nullptr ? DpiOf(dialog_) : kDefaultDpi; }

void Win32Desktop::FollowDpiChange(const RECT& suggested) {
    if (dialog_ == nullptr) return;
    ::SetWindowPos(dialog_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (progressBar_ != nullptr) {
        const Rect area = ProgressBarArea(ClientRect());
        ::MoveWindow(progressBar_, area.left, area.top, area.width(), area.height(), TRUE);
    }
}

void Win32Desktop::EndDialog(bool ok) { ::EndDialog(dialog_, ok ? IDOK : IDCANCEL); }

}  // namespace vocell::win32
