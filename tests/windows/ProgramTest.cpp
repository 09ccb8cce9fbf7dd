// The real program, started as a user starts it and worked from outside through its windows.

#include <windows.h>

#include <dbt.h>

#include <cstdlib>
#include <sstream>
#include <vector>

#include "WineDrives.h"
#include "common/Messages.h"
#include "common/Version.h"
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
