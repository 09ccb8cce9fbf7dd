// The real program, started as a user starts it and worked from outside through its windows.

#include <windows.h>

#include <dbt.h>

#include <cstdlib>
#include <utility>

#include "WineDrives.h"
#include "common/Messages.h"
#include "tests/windows/ProgramDriver.h"
#include "windows/ResourceIds.h"

namespace vocell::win32::test {
namespace {

constexpr char kPackage[] = "C:\\Harlo\\Vocell\\Prompts\\PromptUpdateVer1_3_1.vcp";

const std::string kTitle(text::kApplicationTitle);

TEST(Program, StartsFindsTheCardAnswersTheShellAndEndsOnExit) {
    VOCELL_REQUIRE_REMOVABLE_DRIVE(kCardDrive);
    EmptyDrive(kCardDrive);
    PutFile(RootOf(kCardDrive) + "VM\\PROMPTS\\0\\0\\0\\VERSION.TXT", "0131");
    ProgramDriver program(ProgramPath());
    ASSERT_TRUE(program.started());
    HWND main = program.WaitForWindow(kTitle);
    ASSERT_NE(main, nullptr) << "the main dialog never showed";
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

    // Moved to a monitor of 150 %, the window takes the place the system suggests and its status
    // bar is laid out again along the new width.
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

    ProgramDriver::Click(main, IDOK);  // the hidden Exit, as Enter presses it
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
