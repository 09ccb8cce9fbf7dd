#include "windows/Dpi.h"

namespace vocell::win32 {
namespace {

using DpiForWindow = UINT(WINAPI*)(HWND);
using SystemMetricsForDpi = int(WINAPI*)(int, UINT);

// A function of user32 by its name, nullptr when this system's user32 has none.
template <class Function>
Function User32Function(const char* name) {
    HMODULE user32 = ::GetModuleHandleA("user32.dll");
    if (user32 == nullptr) return nullptr;
    // The address GetProcAddress returns has to be cast to the function's own type.
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(user32, name)));
}

}  // namespace

int DpiOf(HWND window) {
    static const auto dpiForWindow = User32Function<DpiForWindow>("GetDpiForWindow");
    if (dpiForWindow != nullptr && window != nullptr) {
        if (const UINT dpi = dpiForWindow(window); dpi != 0) return static_cast<int>(dpi);
    }
    HDC context = ::GetDC(window);
    const int dpi = ::GetDeviceCaps(context, LOGPIXELSY);
    ::ReleaseDC(window, context);
    return dpi;
}

int SystemMetricForDpi(int index, int dpi) {
    static const auto metricsForDpi = User32Function<SystemMetricsForDpi>("GetSystemMetricsForDpi");
    if (metricsForDpi != nullptr) return metricsForDpi(index, static_cast<UINT>(dpi));
    return ::GetSystemMetrics(index);
}

}  // namespace vocell::win32
