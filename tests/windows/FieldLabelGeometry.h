#pragma once
// Where a dialog's field labels stand and what their texts need, read with Win32 calls of the
// tests' own: the rule that tells a field label (a static text straight before a visible edit or
// list in the z-order), the controls' places in the dialog and the texts' extents.

#include <windows.h>

#include <vector>

namespace vocell::win32::test {

struct FieldLabel {
    HWND label;
    HWND field;
};

std::vector<FieldLabel> FieldLabelsOf(HWND dialog);
// The control's window rectangle in the dialog's client coordinates.
RECT PlaceIn(HWND dialog, HWND control);
// The size of the control's text in the control's own font, in pixels.
SIZE TextExtent(HWND control);

}  // namespace vocell::win32::test
