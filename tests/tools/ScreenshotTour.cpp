// Takes the screenshots of the Windows program that docs/screenshots/windows/ keeps: the main
// dialog with a card selected, the drive chooser, the about box and a restore in progress. It
// works the real program from outside, like the start-up test, and captures the screen at each
// step into a BMP file. scripts/test-windows.sh --screenshots runs it in a Wine desktop window
// and turns the captures into PNG files.
//   ScreenshotTour FOLDER ARCHIVE

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/Messages.h"
#include "tests/windows/ProgramDriver.h"
#include "windows/ResourceIds.h"

namespace {

using vocell::win32::test::kMessageBoxText;
using vocell::win32::test::ProgramDriver;

// How long after the progress bar appears the restore is shown, in milliseconds.
constexpr DWORD kProgressMoment = 2500;

bool Capture(const std::string& file) {
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    ::SelectObject(memory, previous);

    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const DWORD rowBytes = static_cast<DWORD>((width * 3 + 3) & ~3);
    info.biSizeImage = rowBytes * static_cast<DWORD>(height);
    std::vector<char> pixels(info.biSizeImage);
    ::GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
                reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;  // "BM"
    header.bfOffBits = sizeof header + sizeof info;
    header.bfSize = header.bfOffBits + info.biSizeImage;
    FILE* out = std::fopen(file.c_str(), "wb");
    if (out == nullptr) return false;
    std::fwrite(&header, sizeof header, 1, out);
    std::fwrite(&info, sizeof info, 1, out);
    std::fwrite(pixels.data(), 1, pixels.size(), out);
    return std::fclose(out) == 0;
}

bool Fail(const char* what) {
    std::fprintf(stderr, "screenshot tour: %s\n", what);
    return false;
}

bool CloseMessage(ProgramDriver& program, std::string_view text) {
    HWND message =
        program.WaitForWindowWithText(kMessageBoxText, std::string(text), std::chrono::seconds(120));
    if (message == nullptr) return Fail("no completion message");
    ProgramDriver::Click(message, IDOK);
    return true;
}

bool Tour(const std::string& folder, const std::string& archive) {
    ProgramDriver program(vocell::win32::test::ProgramPath());
    HWND main = program.WaitForWindow(std::string(vocell::text::kApplicationTitle));
    if (main == nullptr) return Fail("the program did not start");

    ProgramDriver::Click(main, IDC_SELECT);
    HWND chooser = program.WaitForWindow("Select Vocell Card");
    if (chooser == nullptr) return Fail("no chooser");
    ::Sleep(500);
    Capture(folder + "\\drive-chooser.bmp");
    ProgramDriver::Click(chooser, IDOK);
    if (!ProgramDriver::WaitFor([&] { return ProgramDriver::ControlText(main, IDC_STATUS) == "Ready"; })) {
        return Fail("the card was not selected");
    }
    ::Sleep(500);
    Capture(folder + "\\main-dialog.bmp");

    // The system menu with the about item, opened as Alt+Space opens it.
    ::PostMessageA(main, WM_SYSCOMMAND, SC_KEYMENU, VK_SPACE);
    ::Sleep(1000);
    Capture(folder + "\\system-menu.bmp");
    ::PostMessageA(main, WM_CANCELMODE, 0, 0);
    ::Sleep(500);

    ::PostMessageA(main, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    HWND about = program.WaitForWindow("About Harlo Solvane Vocell Utility");
    if (about == nullptr) return Fail("no about box");
    ::Sleep(500);
    Capture(folder + "\\about-box.bmp");
    ProgramDriver::Click(about, IDOK);

    ProgramDriver::Click(main, IDC_BACKUP);
    if (!program.ChooseFile("Save As", archive)) return Fail("no save dialog");
    if (!CloseMessage(program, vocell::text::kBackupComplete)) return false;

    ProgramDriver::Click(main, IDC_RESTORE);
    if (!program.ChooseFile("Open", archive)) return Fail("no open dialog");
    // The program answers no message while it extracts, so the bar is only looked at, not asked.
    if (!ProgramDriver::WaitFor([&] { return ProgramDriver::ProgressBarOf(main) != nullptr; },
                                std::chrono::seconds(60))) {
        return Fail("no progress bar seen");
    }
    ::Sleep(kProgressMoment);
    Capture(folder + "\\restore-in-progress.bmp");
    if (!CloseMessage(program, vocell::text::kRestoreComplete)) return false;

    ProgramDriver::Click(main, IDOK);
    return program.WaitForExit() == 0 || Fail("the program did not end");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: ScreenshotTour FOLDER ARCHIVE\n");
        return 2;
    }
    return Tour(argv[1], argv[2]) ? 0 : 1;
}
