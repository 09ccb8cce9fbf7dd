// The real program, started as a user starts it and worked from outside through its windows, also
// while it is busy.

#include <windows.h>

#include <dbt.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "WineDrives.h"
#include "archive/ArchiveScanner.h"
#include "common/Messages.h"
#include "common/Version.h"
#include "platform/win32/Win32FileSystem.h"
#include "tests/windows/FieldLabelGeometry.h"
#include "tests/windows/ProgramDriver.h"
#include "windows/ResourceIds.h"

namespace vocell::win32::test {
namespace {

constexpr char kPackage[] = "C:\\Harlo\\Vocell\\Prompts\\PromptUpdateVer1_3_1.vcp";

const std::string kTitle(text::kApplicationTitle);

INT_PTR CALLBACK InertProcedure(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// Each field label of the running dialog holds its whole text and ends before its field. The
// texts are measured in a copy of the dialog's template made here, which gets the same font.
void ExpectFieldLabelsWhole(HWND dialog, int templateId) {
    const std::unique_ptr<HWND__, decltype(&::DestroyWindow)> copy(
        ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), nullptr,
                             InertProcedure, 0),
        &::DestroyWindow);
    ASSERT_NE(copy, nullptr);
    const std::vector<FieldLabel> labels = FieldLabelsOf(dialog);
    EXPECT_FALSE(labels.empty());
    for (const auto& [label, field] : labels) {
        SCOPED_TRACE(ProgramDriver::Text(label));
        HWND copied = ::GetWindow(::GetDlgItem(copy.get(), ::GetDlgCtrlID(field)), GW_HWNDPREV);
        ASSERT_NE(copied, nullptr);
        RECT room{};
        ::GetClientRect(label, &room);
        EXPECT_GE(room.right, TextExtent(copied).cx) << "the whole text fits";
        EXPECT_LE(PlaceIn(dialog, label).right, PlaceIn(dialog, field).left)
            << "the label reaches into its field";
    }
}

TEST(Program, StartsFindsTheCardAnswersTheShellAndEndsOnExit) {
    VOCELL_REQUIRE_REMOVABLE_DRIVE(kCardDrive);
    EmptyDrive(kCardDrive);
    PutFile(RootOf(kCardDrive) + "VM\\PROMPTS\\0\\0\\0\\VERSION.TXT", "0131");
    ProgramDriver program(ProgramPath());
    ASSERT_TRUE(program.started());
    HWND main = program.WaitForWindow(kTitle);
    ASSERT_NE(main, nullptr) << "the main dialog never showed";
    ExpectFieldLabelsWhole(main, IDD_MAIN_DIALOG);
    EXPECT_EQ(ProgramDriver::ControlText(main, IDC_STATUS), text::kCardNotSelected);
    EXPECT_EQ(ProgramDriver::ControlText(main, IDC_DEVICE), "");
    // A status bar's own text is its first pane.
    EXPECT_EQ(ProgramDriver::ControlText(main, IDC_STATUS_BAR), text::kReady);

    // The shell's AutoPlay query is answered "cancel"; a device event rescans.
    EXPECT_EQ(::SendMessageA(main, ::RegisterWindowMessageA("QueryCancelAutoPlay"), 0, 0), 1);
    EXPECT_EQ(::SendMessageA(main, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0), TRUE);

    ::PostMessageA(main, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    HWND about = program.WaitForWindow("About Harlo Solvane Vocell Utility");
    ASSERT_NE(about, nullptr);
    ProgramDriver::Click(about, IDOK);
    EXPECT_TRUE(ProgramDriver::WaitFor([&] { return !::IsWindow(about); }));

    ProgramDriver::Click(main, IDC_SELECT);
    HWND chooser = program.WaitForWindow("Select Vocell Card");
    ASSERT_NE(chooser, nullptr);
    ExpectFieldLabelsWhole(chooser, IDD_DRIVE_SELECTION);
    EXPECT_EQ(ProgramDriver::ControlText(chooser, IDC_DEVICE_LIST), "VMCARD (E:)");
    ProgramDriver::Click(chooser, IDOK);
    EXPECT_TRUE(ProgramDriver::WaitFor(
        [&] { return ProgramDriver::ControlText(main, IDC_DEVICE) == "VMCARD (E:)"; }));
    EXPECT_EQ(ProgramDriver::ControlText(main, IDC_STATUS), text::kReady);
    EXPECT_EQ(ProgramDriver::ControlText(main, IDC_PROMPT_VERSION), "1.31");
    // A card the size of a real one, where the script could give it one.
    if (std::getenv("VOCELL_WINE_CARD_BYTES") != nullptr) {
        EXPECT_EQ(ProgramDriver::ControlText(main, IDC_CARD_TYPE), text::kVocell8Hour);
    }

    // Moved to a monitor of 150 %, the window takes the place the system suggests, its status bar
    // is laid out again along the new width and its field labels still hold their texts.
    RECT before{};
    ::GetWindowRect(main, &before);
    const RECT suggested{before.left + 8, before.top + 8,
                         before.left + 8 + (before.right - before.left) * 3 / 2,
                         before.top + 8 + (before.bottom - before.top) * 3 / 2};
    program.SendWithData(main, WM_DPICHANGED, MAKEWPARAM(144, 144), &suggested, sizeof suggested);
    RECT after{};
    ::GetWindowRect(main, &after);
    EXPECT_EQ(std::make_pair(after.left, after.top), std::make_pair(suggested.left, suggested.top));
    EXPECT_EQ(std::make_pair(after.right, after.bottom), std::make_pair(suggested.right, suggested.bottom));
    RECT client{};
    RECT bar{};
    ::GetClientRect(main, &client);
    ::GetWindowRect(::GetDlgItem(main, IDC_STATUS_BAR), &bar);
    EXPECT_EQ(bar.right - bar.left, client.right);
    ExpectFieldLabelsWhole(main, IDD_MAIN_DIALOG);

    ProgramDriver::Click(main, IDOK);  // the hidden Exit, as Enter presses it
    EXPECT_EQ(program.WaitForExit(), 0);
}

// The program's version block, as the shell's file properties read it.
class VersionBlock {
public:
    explicit VersionBlock(const std::string& file) {
        DWORD ignored = 0;
        data_.resize(::GetFileVersionInfoSizeA(file.c_str(), &ignored));
        if (!data_.empty() &&
            !::GetFileVersionInfoA(file.c_str(), 0, static_cast<DWORD>(data_.size()), data_.data()))
            data_.clear();
    }
    [[nodiscard]] bool found() const { return !data_.empty(); }
    // A string of the US English block, the block's only language; empty when it has none.
    [[nodiscard]] std::string Text(const std::string& name) const {
        const std::string key = "\\StringFileInfo\\040904b0\\" + name;
        char* value = nullptr;
        UINT length = 0;
        if (!::VerQueryValueA(data_.data(), key.c_str(), reinterpret_cast<void**>(&value), &length) ||
            length == 0)
            return {};
        return value;
    }
    [[nodiscard]] const VS_FIXEDFILEINFO* Fixed() const {
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        if (!::VerQueryValueA(data_.data(), "\\", reinterpret_cast<void**>(&fixed), &length) ||
            length < sizeof *fixed)
            return nullptr;
        return fixed;
    }

private:
    std::vector<char> data_;
};

TEST(Program, VersionBlockNamesTheProgramItsMakerAndTheOneVersion) {
    const std::string program = ProgramPath();
    const VersionBlock block(WindowsPathOf(program));
    ASSERT_TRUE(block.found()) << program << " has no version block";
    const std::string company = block.Text("CompanyName");
    ASSERT_FALSE(company.empty());
    EXPECT_EQ(company, VOCELL_COMPANY_NAME);
    // The maker is the one the program's title names.
    EXPECT_EQ(block.Text("ProductName"), kTitle);
    EXPECT_EQ(kTitle.rfind(company + " ", 0), 0u);
    EXPECT_EQ(block.Text("FileDescription"), kTitle);
    EXPECT_EQ(block.Text("LegalCopyright"), VOCELL_LEGAL_COPYRIGHT);
    EXPECT_NE(block.Text("LegalCopyright").find(company), std::string::npos);

    const std::string fileName = program.substr(program.find_last_of('/') + 1);
    EXPECT_EQ(block.Text("OriginalFilename"), fileName);
    EXPECT_EQ(block.Text("InternalName") + ".exe", fileName);

    // One version everywhere: the texts, the fixed numbers and the about box's.
    EXPECT_EQ(block.Text("FileVersion"), VOCELL_FILE_VERSION);
    EXPECT_EQ(block.Text("ProductVersion"), VOCELL_FILE_VERSION);
    EXPECT_EQ(std::string(VOCELL_FILE_VERSION), std::string("0.") + VOCELL_VERSION);
    const VS_FIXEDFILEINFO* fixed = block.Fixed();
    ASSERT_NE(fixed, nullptr);
    std::ostringstream numbers;
    numbers << HIWORD(fixed->dwFileVersionMS) << '.' << LOWORD(fixed->dwFileVersionMS) << '.'
            << HIWORD(fixed->dwFileVersionLS) << '.' << LOWORD(fixed->dwFileVersionLS);
    EXPECT_EQ(numbers.str(), VOCELL_FILE_VERSION);
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
}

// What the test paints over a part of the program's window from outside.
constexpr COLORREF kPaintedOver = RGB(255, 0, 255);

COLORREF ScreenPixel(POINT at) {
    HDC screen = ::GetDC(nullptr);
    const COLORREF colour = ::GetPixel(screen, at.x, at.y);
    ::ReleaseDC(nullptr, screen);
    return colour;
}

void PaintOver(HWND window, const RECT& part) {
    HDC context = ::GetDC(window);
    HBRUSH brush = ::CreateSolidBrush(kPaintedOver);
    ::FillRect(context, &part, brush);
    ::DeleteObject(brush);
    ::ReleaseDC(window, context);
}

// A card of many small files, for a backup that takes a while.
constexpr int kFolders = 15;
constexpr int kFilesPerFolder = 200;

// While a backup stores a card of many files, the window answers at once, draws again what it is
// asked to, and follows what is posted to it; a close request, from the
// window's own close command or from outside, changes nothing: the backup ends whole and the
// dialog stays open.
TEST(Program, TheWindowDrawsAndAnswersDuringABackupAndCannotBeClosedUntilItEnds) {
    VOCELL_REQUIRE_REMOVABLE_DRIVE(kCardDrive);
    EmptyDrive(kCardDrive);
    PutFile(RootOf(kCardDrive) + "VM\\PROMPTS\\0\\0\\0\\VERSION.TXT", "0131");
    const std::string message(1000, 'm');
    for (int folder = 0; folder < kFolders; ++folder) {
        for (int file = 0; file < kFilesPerFolder; ++file) {
            PutFile(RootOf(kCardDrive) + "VM\\MSGS\\" + std::to_string(100 + folder) + "\\M" +
                        std::to_string(file) + ".WAV",
                    message);
        }
    }
    const std::string archive = "C:\\Harlo\\Vocell\\Backup\\busy.vcb";
    ::DeleteFileA(archive.c_str());
    ProgramDriver program(ProgramPath());
    HWND main = program.WaitForWindow(kTitle);
    ASSERT_NE(main, nullptr);
    ProgramDriver::Click(main, IDC_SELECT);
    HWND chooser = program.WaitForWindow("Select Vocell Card");
    ASSERT_NE(chooser, nullptr);
    ProgramDriver::Click(chooser, IDOK);
    ASSERT_TRUE(
        ProgramDriver::WaitFor([&] { return ProgramDriver::ControlText(main, IDC_STATUS) == "Ready"; }));
    RECT client{};
    ::GetClientRect(main, &client);
    const POINT centre{client.right / 2, client.bottom / 2};
    const RECT part{centre.x - 20, centre.y - 10, centre.x + 20, centre.y + 10};
    POINT middle = centre;
    ::ClientToScreen(main, &middle);
    const COLORREF drawn = ScreenPixel(middle);
    ASSERT_NE(drawn, kPaintedOver);

    ProgramDriver::Click(main, IDC_BACKUP);
    ASSERT_TRUE(program.ChooseFile("Save As", archive));
    // Told from the archive's temporary file, which asks nothing of the program.
    const auto backingUp = [&] {
        WIN32_FIND_DATAA found{};
        HANDLE search = ::FindFirstFileA((archive + ".vocell-*.partial").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return false;
        ::FindClose(search);
        return true;
    };
    ASSERT_TRUE(ProgramDriver::WaitFor(backingUp)) << "the backup never began";

    // It answers what is sent to it (the system's and other programs' messages) at once.
    for (int ping = 0; ping < 5; ++ping) {
        DWORD_PTR answer = 0;
        const auto sent = std::chrono::steady_clock::now();
        EXPECT_NE(::SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer), 0);
        EXPECT_LT(std::chrono::steady_clock::now() - sent, std::chrono::milliseconds(1000));
    }
    // What it is asked to draw again is drawn: a part of it painted over from outside, then
    // invalidated, shows the window's own pixels again. (A window moved over it and away says
    // nothing here: the display restores what it uncovers by itself.)
    PaintOver(main, part);
    ASSERT_TRUE(
        ProgramDriver::WaitFor([&] { return ScreenPixel(middle) == kPaintedOver; }, std::chrono::seconds(5)));
    ::InvalidateRect(main, &part, TRUE);
    EXPECT_TRUE(ProgramDriver::WaitFor([&] { return ScreenPixel(middle) == drawn; }, std::chrono::seconds(5)))
        << "what was invalidated was not drawn again";
    // What is posted to it is dispatched: the focus moves as asked.
    HWND restoreButton = ::GetDlgItem(main, IDC_RESTORE);
    ::PostMessageA(main, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(restoreButton), TRUE);
    EXPECT_TRUE(ProgramDriver::WaitFor([&] { return program.ThreadInfo().hwndFocus == restoreButton; }));
    // Its close command and a close request from outside change nothing.
    ::PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    ::PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(backingUp())
        << "the backup ended before the window was seen to answer: give the card more files";

    HWND done = program.WaitForWindowWithText(kMessageBoxText, std::string(text::kBackupComplete),
                                              std::chrono::seconds(120));
    ASSERT_NE(done, nullptr) << "the backup did not complete";
    ProgramDriver::Click(done, IDOK);
    EXPECT_TRUE(ProgramDriver::WaitFor(
        [&] { return ProgramDriver::ControlText(main, IDC_STATUS_BAR) == text::kReady; }));
    ::Sleep(500);  // anything still queued for the window would have reached it by now
    EXPECT_TRUE(::IsWindow(main) && ::IsWindowVisible(main));
    EXPECT_EQ(program.WaitForExit(std::chrono::milliseconds(0)), -1) << "the program ended";

    // The archive is whole: every file of the card, and sound.
    Win32FileSystem files;
    auto opened = archive::OpenArchive(files, archive);
    ASSERT_TRUE(opened.ok());
    archive::ArchiveScanner scanner(*opened.value().reader, opened.value().length);
    ASSERT_TRUE(scanner.ReadArchiveHeader());
    int messagesStored = 0;
    while (scanner.NextEntry()) {
        const archive::ScannedEntry& entry = scanner.entry();
        if (entry.kind == archive::EntryKind::File &&
            entry.header.storedPath.find("\\MSGS\\") != std::string::npos)
            ++messagesStored;
    }
    EXPECT_FALSE(scanner.problem().has_value()) << scanner.problem().value_or("");
    EXPECT_EQ(messagesStored, kFolders * kFilesPerFolder);

    ProgramDriver::Click(main, IDOK);
    EXPECT_EQ(program.WaitForExit(), 0);
}

TEST(Program, WithoutThePromptPackageSaysReinstallAndEnds) {
    ASSERT_TRUE(::MoveFileA(kPackage, (std::string(kPackage) + ".away").c_str()));
    ProgramDriver program(ProgramPath());
    HWND message = program.WaitForWindowWithText(kMessageBoxText, std::string(text::kReinstallApplication));
    EXPECT_NE(message, nullptr);
    if (message != nullptr) {
        EXPECT_EQ(ProgramDriver::Text(message), kTitle);
        ProgramDriver::Click(message, IDOK);
    }
    EXPECT_NE(program.WaitForExit(), -1) << "the program did not end";
    ::MoveFileA((std::string(kPackage) + ".away").c_str(), kPackage);
}

}  // namespace
}  // namespace vocell::win32::test
