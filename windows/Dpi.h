#pragma once
// The dots per inch a window is drawn at. The program is aware of each monitor's own: Windows
// then neither stretches its windows' bitmaps nor fakes their sizes, and the program scales what
// it sizes in pixels itself. The calls for a window's own DPI came with Windows 10; where the
// system lacks them (older Windows, Wine), the screen's one DPI is used.

#include <windows.h>

namespace vocell::win32 {

// The window's DPI: GetDpiForWindow where the system has it, else the screen's LOGPIXELSY.
int DpiOf(HWND window);
// A system metric (SM_CXICON, ...) for a window of the DPI: GetSystemMetricsForDpi where the
// system has it, else the metric for the screen's DPI.
int SystemMetricForDpi(int index, int dpi);

}  // namespace vocell::win32
