#pragma once
// The about box (template 100): the icon and the version; OK closes it.

#include <windows.h>

namespace vocell::win32 {

void RunAboutDialog(HWND owner);

}  // namespace vocell::win32
