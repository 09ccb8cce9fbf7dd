#pragma once
// Runs the real Windows program in a process of its own and works its windows from outside, the
// way a user would: it finds them by their captions, reads their texts and presses their buttons.

#include <windows.h>

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>

namespace vocell::win32::test {

// The text of a message box, which the system gives this id.
inline constexpr int kMessageBoxText = 0xFFFF;
// The file-name box of the system's open and save dialogs.
inline constexpr int kFileNameCombo = 0x47C;
inline constexpr int kFileNameEdit = 0x480;

class ProgramDriver {
public:
    // Starts the program, given by its path on the Linux side (Wine's Z: drive).
    explicit ProgramDriver(const std::string& unixPath);
    ~ProgramDriver();  // ends the program if it is still running
    ProgramDriver(const ProgramDriver&) = delete;
    ProgramDriver& operator=(const ProgramDriver&) = delete;

    [[nodiscard]] bool started() const { return process_.hProcess != nullptr; }
    // A visible top-level window of the program with this caption; nullptr after the timeout.
    HWND WaitForWindow(const std::string& caption,
                       std::chrono::milliseconds timeout = std::chrono::seconds(20));
    // A visible top-level window of the program that holds a control with this id and text.
    HWND WaitForWindowWithText(int controlId, const std::string& text,
                               std::chrono::milliseconds timeout = std::chrono::seconds(20));
    // The program's exit code once it has ended; -1 after the timeout.
    long WaitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(20));

    // Types path into the open or save dialog of this caption and presses its OK button; false
    // when no such dialog showed.
    bool ChooseFile(const std::string& caption, const std::string& path);
    // The program's GUI thread, as the system sees it: its focus, its active window.
    [[nodiscard]] GUITHREADINFO ThreadInfo() const;
    // Sends a message whose lParam points at data to a window of the program, with the data in
    // the program's own memory for the call, as the system hands such a message to it.
    LRESULT SendWithData(HWND window, UINT message, WPARAM wParam, const void* data, std::size_t size);

    static std::string Text(HWND window);
    static std::string ControlText(HWND dialog, int controlId);
    // Posts the click of a dialog's button, as the button itself reports it.
    static void Click(HWND dialog, int controlId);
    // The progress bar among the window's children, if there is one.
    static HWND ProgressBarOf(HWND window);
    static bool WaitFor(const std::function<bool()>& condition,
                        std::chrono::milliseconds timeout = std::chrono::seconds(20));

private:
    HWND WaitForWindowWhere(const std::function<bool(HWND)>& match, std::chrono::milliseconds timeout);

    PROCESS_INFORMATION process_{};
};

// The program under test, as the build made it.
std::string ProgramPath();
// A Linux path as Wine's Z: drive names it.
std::string WindowsPathOf(const std::string& unixPath);

}  // namespace vocell::win32::test
