#pragma once
// The labels of the dialogs' fields, fitted to their texts. A template gives each label the width
// of its text in the template's font, but the font a dialog gets (another system's stand-in for
// it, the font of another DPI) can be wider: such a label is widened at run time to its whole
// text, up to its field and never into it, while the template's geometry stays as it is.

#include <windows.h>

namespace vocell::win32 {

// Each field label of the dialog (a static text straight before a visible edit or list in the
// z-order) whose text in its own font is wider than its client area is widened to the text, but
// no further than the left edge of the nearest control on its right in its row, or else the
// dialog's client area. No label is narrowed. Called as a dialog starts and again whenever its
// font changes.
void FitFieldLabels(HWND dialog);

}  // namespace vocell::win32
