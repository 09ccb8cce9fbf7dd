#include "windows/FieldLabels.h"

#include <algorithm>
#include <string>

#include "windows/WindowText.h"

namespace vocell::win32 {
namespace {

bool IsOfClass(HWND window, const char* name) {
    char actual[64] = {};
    ::GetClassNameA(window, actual, sizeof actual);
    return ::lstrcmpiA(actual, name) == 0;
}

bool IsFieldLabel(HWND label, HWND next) {
    return IsOfClass(label, "Static") && (::GetWindowLongA(next, GWL_STYLE) & WS_VISIBLE) != 0 &&
           (IsOfClass(next, "Edit") || IsOfClass(next, "ComboBox"));
}

// In pixels; without a font of its own a control draws in the system font, the one a new device
// context holds.
int TextWidth(HWND control) {
    const std::string text = WindowText(control);
    HDC context = ::GetDC(control);
    auto* font = reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0));
    HGDIOBJ previous = font != nullptr ? ::SelectObject(context, font) : nullptr;
    SIZE extent{};
    ::GetTextExtentPoint32A(context, text.c_str(), static_cast<int>(text.size()), &extent);
    if (previous != nullptr) ::SelectObject(context, previous);
    ::ReleaseDC(control, context);
    return extent.cx;
}

// The control's window rectangle in the dialog's client coordinates.
RECT PlaceOf(HWND dialog, HWND control) {
    RECT place{};
    ::GetWindowRect(control, &place);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
    return place;
}

// The right edge of the room a label has: the left edge of the nearest control that starts on its
// right and shares some of its height, else the right edge of the dialog's client area.
int RoomEnd(HWND dialog, HWND label, const RECT& place) {
    RECT client{};
    ::GetClientRect(dialog, &client);
    int end = client.right;
    for (HWND other = ::GetWindow(dialog, GW_CHILD); other != nullptr;
         other = ::GetWindow(other, GW_HWNDNEXT)) {
        const RECT rect = PlaceOf(dialog, other);
        if (other != label && rect.left > place.left && rect.top < place.bottom && rect.bottom > place.top) {
            end = std::min(end, static_cast<int>(rect.left));
        }
    }
    return end;
}

void FitLabel(HWND dialog, HWND label) {
    RECT client{};
    ::GetClientRect(label, &client);
    const int missing = TextWidth(label) - client.right;
    if (missing <= 0) return;
    const RECT place = PlaceOf(dialog, label);
    const int width = static_cast<int>(place.right - place.left);
    const int fitted =
        std::min(width + missing, RoomEnd(dialog, label, place) - static_cast<int>(place.left));
    if (fitted <= width) return;
    ::SetWindowPos(label, nullptr, 0, 0, fitted, place.bottom - place.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void FitFieldLabels(HWND dialog) {
    HWND previous = nullptr;
    for (HWND control = ::GetWindow(dialog, GW_CHILD); control != nullptr;
         previous = control, control = ::GetWindow(control, GW_HWNDNEXT)) {
        if (previous != nullptr && IsFieldLabel(previous, control)) FitLabel(dialog, previous);
    }
}

}  // namespace vocell::win32
