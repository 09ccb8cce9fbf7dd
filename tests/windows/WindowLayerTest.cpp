// The window layer on real windows: the resource script's templates and strings, the Desktop
// over a live main dialog (status bar, progress bar, fields, busy cursor), and the decisions of
// the message map.

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <dbt.h>

#include <chrono>
#include <thread>
#include <vector>

#include "app/DialogLayout.h"
#include "common/Messages.h"
#include "operations/CardExtraction.h"
#include "tests/windows/FieldLabelGeometry.h"
#include "windows/FieldLabels.h"
#include "windows/FileDialogs.h"
#include "windows/MessageMap.h"
#include "windows/ResourceIds.h"
#include "windows/Win32Desktop.h"

namespace vocell::win32::test {
namespace {

std::string TextOf(HWND window) {
    char text[512] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

INT_PTR CALLBACK InertProcedure(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// A template of the program, created modeless so that a test can work on it directly.
class LiveTemplate {
public:
    explicit LiveTemplate(int templateId)
        : window_(::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), nullptr,
                                       InertProcedure, 0)) {}
    ~LiveTemplate() { ::DestroyWindow(window_); }
    LiveTemplate(const LiveTemplate&) = delete;
    LiveTemplate& operator=(const LiveTemplate&) = delete;
    [[nodiscard]] HWND window() const { return window_; }
    [[nodiscard]] std::string Text(int controlId) const { return TextOf(::GetDlgItem(window_, controlId)); }

private:
    HWND window_;
};

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// A live main dialog with the Desktop attached to it.
class WindowLayerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
        ::InitCommonControlsEx(&controls);
    }
    WindowLayerTest() { desktop_.AttachWindow(main_.window()); }

    LiveTemplate main_{IDD_MAIN_DIALOG};
    Win32Desktop desktop_;
};

// The templates' controls are checked once, in the Qt program's table read from the same script;
// here, what only Windows makes of the script.
TEST_F(WindowLayerTest, MainTemplateIsInTheTaskBarAndCannotBeMinimisedOrMaximised) {
    ASSERT_NE(main_.window(), nullptr);
    EXPECT_NE(::GetWindowLongA(main_.window(), GWL_EXSTYLE) & WS_EX_APPWINDOW, 0) << "shown in the task bar";
    EXPECT_EQ(::GetWindowLongA(main_.window(), GWL_STYLE) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
}

TEST_F(WindowLayerTest, ChooserAndAboutBoxLoadWithTheAboutItemAndTheIcon) {
    const LiveTemplate chooser(IDD_DRIVE_SELECTION);
    EXPECT_NE(chooser.window(), nullptr);
    const LiveTemplate about(IDD_ABOUTBOX);
    EXPECT_NE(about.window(), nullptr);
    char item[256] = {};
    ASSERT_GT(::LoadStringA(::GetModuleHandleA(nullptr), IDS_ABOUTBOX, item, sizeof item), 0);
    EXPECT_EQ(std::string(item), text::kAboutMenuItem);
    EXPECT_NE(::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_VOCELL_UTILITY)), nullptr);
}

TEST_F(WindowLayerTest, StatusBarHasTwoPanesAtTheGivenEdgesAndShowsTheirTexts) {
    const int dpi = desktop_.WindowDpi();
    ASSERT_TRUE(desktop_.CreateStatusBar(StatusBarArea(desktop_.WindowRect(), dpi)));
    desktop_.LayoutStatusBar({150, 600}, StatusBarHeight(dpi));
    desktop_.SetStatusPane(0, "Ready");
    desktop_.SetStatusPane(1, "E:\\\\VM\\");
    HWND bar = ::GetDlgItem(main_.window(), IDC_STATUS_BAR);
    ASSERT_NE(bar, nullptr);
    int edges[2] = {};
    ASSERT_EQ(::SendMessageA(bar, SB_GETPARTS, 2, reinterpret_cast<LPARAM>(edges)), 2);
    EXPECT_EQ(edges[0], 150);
    EXPECT_EQ(edges[1], 600);
    char pane[64] = {};
    ::SendMessageA(bar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(pane));
    EXPECT_STREQ(pane, "Ready");
    ::SendMessageA(bar, SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(pane));
    EXPECT_STREQ(pane, "E:\\\\VM\\");
    RECT barRect{};
    ::GetWindowRect(bar, &barRect);
    EXPECT_GE(barRect.bottom - barRect.top, StatusBarHeight(dpi));
}

TEST_F(WindowLayerTest, WindowDpiIsTheScreensAndADpiChangeTakesTheSuggestedPlaceWithTheProgressBar) {
    HDC screen = ::GetDC(nullptr);
    EXPECT_EQ(desktop_.WindowDpi(), ::GetDeviceCaps(screen, LOGPIXELSY));
    ::ReleaseDC(nullptr, screen);
    desktop_.CreateProgressBar(ProgressBarArea(desktop_.ClientRect()));
    const Rect before = desktop_.WindowRect();
    const RECT suggested{before.left + 10, before.top + 20, before.left + 10 + before.width() * 3 / 2,
                         before.top + 20 + before.height() * 3 / 2};
    desktop_.FollowDpiChange(suggested);
    RECT placed{};
    ::GetWindowRect(main_.window(), &placed);
    EXPECT_TRUE(SameRect(placed, suggested));
    const Rect area = ProgressBarArea(desktop_.ClientRect());
    RECT bar{};
    ::GetWindowRect(::GetDlgItem(main_.window(), IDC_PROGRESS_BAR), &bar);
    ::MapWindowPoints(nullptr, main_.window(), reinterpret_cast<POINT*>(&bar), 2);
    EXPECT_TRUE(SameRect(bar, RECT{area.left, area.top, area.right, area.bottom}));
}

// A field label keeps its whole text on its one line, whatever the font's widths, instead of
// wrapping the words that do not fit out of sight below it or cutting its last letters, and it
// stays out of its field.
void ExpectFieldLabelsOnOneLine(HWND dialog) {
    const std::vector<FieldLabel> labels = FieldLabelsOf(dialog);
    EXPECT_FALSE(labels.empty());
    for (const auto& [label, field] : labels) {
        SCOPED_TRACE(TextOf(label));
        EXPECT_EQ(::GetWindowLongA(label, GWL_STYLE) & SS_TYPEMASK, SS_LEFTNOWORDWRAP);
        RECT room{};
        ::GetClientRect(label, &room);
        const SIZE extent = TextExtent(label);
        EXPECT_GE(room.bottom, extent.cy) << "one line of text fits";
        EXPECT_GE(room.right, extent.cx) << "the whole text fits";
        EXPECT_LE(PlaceIn(dialog, label).right, PlaceIn(dialog, field).left)
            << "the label reaches into its field";
    }
}

// The labels as the program fits them when each dialog starts.
TEST_F(WindowLayerTest, FieldLabelsKeepTheirWholeTextOnOneLineBesideTheirFields) {
    FitFieldLabels(main_.window());
    ExpectFieldLabelsOnOneLine(main_.window());
    const LiveTemplate chooser(IDD_DRIVE_SELECTION);
    FitFieldLabels(chooser.window());
    ExpectFieldLabelsOnOneLine(chooser.window());
}

// A font twice the dialog's in the dialog's geometry: a label with too little room for its text
// grows up to its field's left edge and stops there; none is narrowed.
TEST_F(WindowLayerTest, FieldLabelsTooNarrowForTheirFontReachTheirFieldsAndStop) {
    HWND dialog = main_.window();
    auto* font = reinterpret_cast<HFONT>(::SendMessageA(dialog, WM_GETFONT, 0, 0));
    LOGFONTA shape{};
    ASSERT_EQ(::GetObjectA(font, sizeof shape, &shape), static_cast<int>(sizeof shape));
    shape.lfHeight *= 2;
    HFONT large = ::CreateFontIndirectA(&shape);
    auto setFont = [dialog](HFONT each) {
        for (HWND control = ::GetWindow(dialog, GW_CHILD); control != nullptr;
             control = ::GetWindow(control, GW_HWNDNEXT)) {
            ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(each), FALSE);
        }
    };
    setFont(large);
    const std::vector<FieldLabel> labels = FieldLabelsOf(dialog);
    std::vector<RECT> before;
    for (const auto& fieldLabel : labels) before.push_back(PlaceIn(dialog, fieldLabel.label));
    FitFieldLabels(dialog);
    int shortOfRoom = 0;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        SCOPED_TRACE(TextOf(labels[i].label));
        const RECT place = PlaceIn(dialog, labels[i].label);
        const RECT field = PlaceIn(dialog, labels[i].field);
        RECT room{};
        ::GetClientRect(labels[i].label, &room);
        EXPECT_TRUE(place.left == before[i].left && place.top == before[i].top &&
                    place.bottom == before[i].bottom)
            << "moved";
        EXPECT_GE(place.right, before[i].right) << "narrowed";
        if (room.right < TextExtent(labels[i].label).cx) {
            ++shortOfRoom;
            EXPECT_EQ(place.right, field.left) << "stopped short of its field";
        } else {
            EXPECT_LE(place.right, field.left) << "the label reaches into its field";
        }
    }
    EXPECT_GT(shortOfRoom, 0) << "every label had room for the large font";
    setFont(font);
    ::DeleteObject(large);
}

TEST_F(WindowLayerTest, ProgressBarStandsWhereAskedShowsItsReadingAndGoes) {
    const Rect area = ProgressBarArea(desktop_.ClientRect());
    desktop_.CreateProgressBar(area);
    HWND bar = ::GetDlgItem(main_.window(), IDC_PROGRESS_BAR);
    ASSERT_NE(bar, nullptr);
    RECT placed{};
    ::GetWindowRect(bar, &placed);
    ::MapWindowPoints(nullptr, main_.window(), reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_TRUE(SameRect(placed, RECT{area.left, area.top, area.right, area.bottom}));
    EXPECT_EQ(::SendMessageA(bar, PBM_GETRANGE, TRUE, 0), 0);
    EXPECT_EQ(::SendMessageA(bar, PBM_GETRANGE, FALSE, 0), 100);
    desktop_.ShowProgress({3, 3072, 102400, "3.0 KB of 100.0 KB written"});
    EXPECT_EQ(::SendMessageA(bar, PBM_GETPOS, 0, 0), 3);
    EXPECT_EQ(TextOf(bar), "3.0 KB of 100.0 KB written");  // drawn over the bar
    desktop_.ShowProgress({ProgressReport::kSteps + 1, 102400, 102400, "100.0 KB of 100.0 KB written"});
    EXPECT_EQ(::SendMessageA(bar, PBM_GETPOS, 0, 0), 100);
    desktop_.RemoveProgressBar();
    EXPECT_FALSE(::IsWindow(bar));
}

TEST_F(WindowLayerTest, PushFillsTheHiddenDeviceListAndClearsFields) {
    desktop_.Push({"Ready", "VMCARD (E:)", "Vocell 8 Hour", "1.31", {"E:\\", "G:\\"}, 1});
    // Each field's text is read back from the running program in its start-up test.
    EXPECT_EQ(main_.Text(IDC_DEVICE), "VMCARD (E:)");
    HWND list = ::GetDlgItem(main_.window(), IDC_DEVICE_LIST);
    EXPECT_EQ(::SendMessageA(list, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(::SendMessageA(list, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(TextOf(list), "G:\\");
    desktop_.Push({"Card Not Selected", "", "", "", {"E:\\"}, -1});
    EXPECT_EQ(::SendMessageA(list, CB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(::SendMessageA(list, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(main_.Text(IDC_DEVICE), "");
}

TEST_F(WindowLayerTest, BusyCursorStaysUntilEveryBeginHasItsEnd) {
    desktop_.BeginBusyCursor();
    desktop_.BeginBusyCursor();
    desktop_.EndBusyCursor();
    EXPECT_TRUE(desktop_.busy());
    desktop_.EndBusyCursor();
    EXPECT_FALSE(desktop_.busy());
    desktop_.EndBusyCursor();  // one end too many is harmless
    desktop_.BeginBusyCursor();
    EXPECT_TRUE(desktop_.busy());
}

// A hidden window of the test's thread that counts what reaches it.
class CountingWindow {
public:
    CountingWindow() {
        static const ATOM registered = [] {
            WNDCLASSA type{};
            type.lpfnWndProc = Procedure;
            type.hInstance = ::GetModuleHandleA(nullptr);
            type.lpszClassName = "VocellTestCounter";
            return ::RegisterClassA(&type);
        }();
        window_ = ::CreateWindowExA(0, MAKEINTATOM(registered), "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    ::GetModuleHandleA(nullptr), nullptr);
        ::SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~CountingWindow() { ::DestroyWindow(window_); }
    CountingWindow(const CountingWindow&) = delete;
    CountingWindow& operator=(const CountingWindow&) = delete;
    [[nodiscard]] HWND window() const { return window_; }
    int received = 0;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<CountingWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self != nullptr && message == WM_APP) {
            ++self->received;
            return 1;
        }
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
    HWND window_ = nullptr;
};

bool KeyWaiting(UINT flags) {
    MSG message{};
    return ::PeekMessageA(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, flags) != FALSE;
}

// What the window takes while an operation lets it answer: its painting, what is sent to it and
// what is posted to it, never the keyboard or the mouse, which wait for the operation's end.
TEST_F(WindowLayerTest, KeepingRespondingDrawsAndAnswersButLeavesTheUsersInputWaiting) {
    ::ShowWindow(main_.window(), SW_SHOW);
    ::UpdateWindow(main_.window());
    ::InvalidateRect(main_.window(), nullptr, TRUE);
    ASSERT_NE(::GetUpdateRect(main_.window(), nullptr, FALSE), FALSE);
    desktop_.KeepResponding();
    EXPECT_EQ(::GetUpdateRect(main_.window(), nullptr, FALSE), FALSE) << "not drawn";

    CountingWindow counter;
    ::PostMessageA(counter.window(), WM_APP, 0, 0);
    desktop_.KeepResponding();
    EXPECT_EQ(counter.received, 1) << "the posted message waits";
    DWORD_PTR answer = 0;
    std::thread sender(
        [&] { ::SendMessageTimeoutA(counter.window(), WM_APP, 0, 0, SMTO_NORMAL, 5000, &answer); });
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (answer == 0 && std::chrono::steady_clock::now() < end) desktop_.KeepResponding();
    sender.join();
    EXPECT_EQ(answer, 1u) << "the sent message was not answered";

    // A key pressed on the window.
    ::SetForegroundWindow(main_.window());
    ::SetFocus(::GetDlgItem(main_.window(), IDC_BACKUP));
    INPUT key[2] = {};
    key[0].type = key[1].type = INPUT_KEYBOARD;
    key[0].ki.wVk = key[1].ki.wVk = 'B';
    key[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, key, sizeof key[0]);
    const auto given = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!KeyWaiting(PM_NOREMOVE) && std::chrono::steady_clock::now() < given) ::Sleep(10);
    if (!KeyWaiting(PM_NOREMOVE)) GTEST_SKIP() << "the system hands this test no keyboard input";
    desktop_.KeepResponding();
    EXPECT_TRUE(KeyWaiting(PM_NOREMOVE)) << "the key was taken";
    while (KeyWaiting(PM_REMOVE)) {
    }
}

TEST(MessageMap, ButtonClicksAndTheDeviceListSelectionAreCommandsNothingElse) {
    for (const int button :
         {IDC_SELECT, IDC_BACKUP, IDC_RESTORE, IDC_UPDATE, IDC_INITIALIZE, IDOK, IDCANCEL}) {
        EXPECT_EQ(CommandOf(button, BN_CLICKED), button);
    }
    EXPECT_EQ(CommandOf(IDC_DEVICE_LIST, CBN_SELCHANGE), IDC_DEVICE_LIST);
    EXPECT_EQ(CommandOf(IDC_DEVICE_LIST, CBN_DROPDOWN), std::nullopt);
    EXPECT_EQ(CommandOf(IDC_STATUS, EN_CHANGE), std::nullopt) << "a pushed field reports its change";
    EXPECT_EQ(CommandOf(IDC_BACKUP, BN_SETFOCUS), std::nullopt);
}

TEST(MessageMap, ArrivalRemovalAndCodeZeroRescanEverythingElseIsIgnored) {
    EXPECT_EQ(DeviceEventOf(DBT_DEVICEARRIVAL), devices::DeviceEvent::Arrival);
    EXPECT_EQ(DeviceEventOf(DBT_DEVICEREMOVECOMPLETE), devices::DeviceEvent::RemoveComplete);
    EXPECT_EQ(DeviceEventOf(0), devices::DeviceEvent::Refresh);
    for (const std::uintptr_t code : {0x8001u, 0x0007u, 0x0018u}) {  // query remove, nodes and config changed
        EXPECT_EQ(DeviceEventOf(code), devices::DeviceEvent::Other) << code;
    }
}

TEST(FileDialogs, SettingsBecomeTheDialogsOptionsAndFilter) {
    FileDialogSettings save;
    save.filterDescription = "Vocell Greeting & Data Files (*.vcb)";
    save.filterPattern = "*.vcb";
    save.overwritePrompt = true;
    save.pathMustExist = true;
    EXPECT_EQ(FileDialogFlags(save),
              DWORD{OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST});
    EXPECT_EQ(FileDialogFilter(save), std::string("Vocell Greeting & Data Files (*.vcb)\0*.vcb\0\0", 44));
    FileDialogSettings open;
    open.fileMustExist = true;
    open.hideReadOnly = true;
    EXPECT_EQ(FileDialogFlags(open),
              DWORD{OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY});
}

}  // namespace
}  // namespace vocell::win32::test
