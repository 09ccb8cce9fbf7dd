#pragma once
// The main dialog's window system on Windows: message boxes with the application's title, the
// open and save dialogs, the drive chooser, the about box, the shell's format dialog, the
// comctl32 status bar and progress bar, the nesting busy cursor, and the dialog's controls.

#include <windows.h>

#include "app/Desktop.h"

namespace vocell::win32 {

class Win32Desktop final : public WindowDesktop {
public:
    // The main dialog's window, once it exists.
    void AttachWindow(HWND dialog) { dialog_ = dialog; }
    [[nodiscard]] HWND window() const { return dialog_; }
    [[nodiscard]] bool busy() const { return busyDepth_ > 0; }

    MessageAnswer ShowMessageBox(const std::string& text, MessageButtons buttons, MessageKind kind) override;
    std::optional<std::string> SaveFileDialog(const FileDialogSettings& settings) override;
    std::optional<std::string> OpenFileDialog(const FileDialogSettings& settings) override;
    std::optional<int> RunDriveChooser(const std::vector<std::string>& entries, int selectedIndex) override;
    void ShowAbout() override;
    FormatOutcome ShowFormatDialog(int driveIndex, const MediumIdentity& medium) override;

    bool CreateStatusBar(const Rect& area) override;
    void LayoutStatusBar(const std::vector<int>& paneRightEdges, int minimumHeight) override;
    void SetStatusPane(int pane, const std::string& text) override;

    void BeginBusyCursor() override;
    void EndBusyCursor() override;

    void CreateProgressBar(const Rect& area) override;
    void ShowProgress(const ProgressReport& report) override;
    void RemoveProgressBar() override;

    void Push(const DialogFields& fields) override;
    void Repaint() override;
    void KeepResponding() override;

    [[nodiscard]] Rect WindowRect() const override;
    [[nodiscard]] Rect ClientRect() const override;
    [[nodiscard]] int WindowDpi() const override;
    void EndDialog(bool ok) override;

    // The window has moved to a monitor of other DPI (WM_DPICHANGED): it takes the size and place
    // the system suggests, and a progress bar keeps its share of the new client area.
    void FollowDpiChange(const RECT& suggested);

private:
    void SetFieldText(int controlId, const std::string& text);
    void ShowDeviceItems(const DialogFields& fields);

    HWND dialog_ = nullptr;
    HWND statusBar_ = nullptr;
    HWND progressBar_ = nullptr;
    int busyDepth_ = 0;
};

// The MB_ type of a message box: its buttons.
UINT MessageBoxType(MessageButtons buttons);
MessageAnswer AnswerOf(int result);

}  // namespace vocell::win32
