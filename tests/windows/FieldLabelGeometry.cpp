#include "tests/windows/FieldLabelGeometry.h"

#include <string>

namespace vocell::win32::test {
namespace {

std::string ClassOf(HWND window) {
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

bool Visible(HWND control) { return (::GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0; }

}  // namespace

std::vector<FieldLabel> FieldLabelsOf(HWND dialog) {
    std::vector<FieldLabel> labels;
    HWND previous = nullptr;
    for (HWND control = ::GetWindow(dialog, GW_CHILD); control != nullptr;
         previous = control, control = ::GetWindow(control, GW_HWNDNEXT)) {
        const std::string kind = ClassOf(control);
        if (previous != nullptr && ClassOf(previous) == "Static" && Visible(control) &&
            (kind == "Edit" || kind == "ComboBox")) {
            labels.push_back({previous, control});
        }
    }
    return labels;
}

RECT PlaceIn(HWND dialog, HWND control) {
    RECT place{};
    ::GetWindowRect(control, &place);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
    return place;
}

SIZE TextExtent(HWND control) {
    char text[512] = {};
    const int length = ::GetWindowTextA(control, text, sizeof text);
    HDC context = ::GetDC(control);
    HGDIOBJ previous =
        ::SelectObject(context, reinterpret_cast<HGDIOBJ>(::SendMessageA(control, WM_GETFONT, 0, 0)));
    SIZE extent{};
    ::GetTextExtentPoint32A(context, text, length, &extent);
    ::SelectObject(context, previous);
    ::ReleaseDC(control, context);
    return extent;
}

}  // namespace vocell::win32::test
