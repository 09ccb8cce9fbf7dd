#pragma once
// A window's text, whatever its length.

#include <windows.h>

#include <string>

namespace vocell::win32 {

inline std::string WindowText(HWND window) {
    const int length = ::GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextA(window, text.data(), length + 1)));
    return text;
}

}  // namespace vocell::win32
