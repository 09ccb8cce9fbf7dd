#include "ProgramDriver.h"

#include <commctrl.h>

#include <algorithm>
#include <thread>

#ifndef VOCELL_PROGRAM
#error "VOCELL_PROGRAM must name the built program"
#endif

namespace vocell::win32::test {
namespace {

constexpr auto kPoll = std::chrono::milliseconds(20);

struct Search {
    DWORD processId;
    const std::function<bool(HWND)>* match;
    HWND found = nullptr;
};

BOOL CALLBACK Visit(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !::IsWindowVisible(window) || !(*search->match)(window)) return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK FindProgressBar(HWND child, LPARAM result) {
    char name[64] = {};
    ::GetClassNameA(child, name, sizeof name);
    if (std::string(name).find(PROGRESS_CLASSA) == std::string::npos) return TRUE;
    *reinterpret_cast<HWND*>(result) = child;
    return FALSE;
}

}  // namespace

std::string ProgramPath() { return VOCELL_PROGRAM; }

std::string WindowsPathOf(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

ProgramDriver::ProgramDriver(const std::string& unixPath) {
    const std::string path = WindowsPathOf(unixPath);
    std::string commandLine = "\"" + path + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!::CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process_)) {
        process_ = {};
    }
}

ProgramDriver::~ProgramDriver() {
    if (!started()) return;
    if (::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(process_.hProcess, 1);
        ::WaitForSingleObject(process_.hProcess, 5000);
    }
    ::CloseHandle(process_.hThread);
    ::CloseHandle(process_.hProcess);
}

bool ProgramDriver::WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(kPoll);
    }
    return true;
}

HWND ProgramDriver::WaitForWindowWhere(const std::function<bool(HWND)>& match,
                                       std::chrono::milliseconds timeout) {
    Search search{process_.dwProcessId, &match};
    WaitFor(
        [&] {
            ::EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeout);
    return search.found;
}

HWND ProgramDriver::WaitForWindow(const std::string& caption, std::chrono::milliseconds timeout) {
    return WaitForWindowWhere([&](HWND window) { return Text(window) == caption; }, timeout);
}

HWND ProgramDriver::WaitForWindowWithText(int controlId, const std::string& text,
                                          std::chrono::milliseconds timeout) {
    return WaitForWindowWhere(
        [&](HWND window) {
            HWND control = ::GetDlgItem(window, controlId);
            return control != nullptr && Text(control) == text;
        },
        timeout);
}

long ProgramDriver::WaitForExit(std::chrono::milliseconds timeout) {
    if (!started() ||
        ::WaitForSingleObject(process_.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
        return -1;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<long>(code);
}

LRESULT ProgramDriver::SendWithData(HWND window, UINT message, WPARAM wParam, const void* data,
                                    std::size_t size) {
    void* copy = ::VirtualAllocEx(process_.hProcess, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (copy == nullptr) return 0;
    LRESULT result = 0;
    if (::WriteProcessMemory(process_.hProcess, copy, data, size, nullptr)) {
        result = ::SendMessageA(window, message, wParam, reinterpret_cast<LPARAM>(copy));
    }
    ::VirtualFreeEx(process_.hProcess, copy, 0, MEM_RELEASE);
    return result;
}

std::string ProgramDriver::Text(HWND window) {
    char text[1024] = {};
    ::SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

std::string ProgramDriver::ControlText(HWND dialog, int controlId) {
    return Text(::GetDlgItem(dialog, controlId));
}

bool ProgramDriver::ChooseFile(const std::string& caption, const std::string& path) {
    HWND dialog = WaitForWindow(caption);
    if (dialog == nullptr) return false;
    for (const int box : {kFileNameCombo, kFileNameEdit}) {
        if (HWND name = ::GetDlgItem(dialog, box))
            ::SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    }
    Click(dialog, IDOK);
    return true;
}

GUITHREADINFO ProgramDriver::ThreadInfo() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (started()) ::GetGUIThreadInfo(process_.dwThreadId, &info);
    return info;
}

HWND ProgramDriver::ProgressBarOf(HWND window) {
    HWND found = nullptr;
    ::EnumChildWindows(window, FindProgressBar, reinterpret_cast<LPARAM>(&found));
    return found;
}

void ProgramDriver::Click(HWND dialog, int controlId) {
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, controlId)));
}

}  // namespace vocell::win32::test
