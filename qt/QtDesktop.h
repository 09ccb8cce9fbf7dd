#pragma once
// The main dialog's window system on a Linux desktop: Qt windows for the dialog, its message
// boxes, file dialogs, drive chooser, about box and status bar, Qt's override cursor for the
// busy cursor, and the host's paths for the card's Windows-style ones.

#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "app/Desktop.h"
#include "qt/FileDialogs.h"
#include "qt/MainWindow.h"

namespace vocell::qt {

// What the desktop needs from the rest of the program; every part may be left empty.
struct DesktopServices {
    // Message boxes; RunMessageBox when empty. Tests answer here instead of clicking real boxes.
    std::function<MessageAnswer(QWidget* parent, const QString& text, MessageButtons buttons)> messageBox;
    // The open and save dialogs; RunFileDialog when empty.
    std::function<std::optional<QString>(QWidget* parent, FileDialogKind kind,
                                         const FileDialogSettings& settings, const QString& hostFolder)>
        fileDialog;
    // The host folder of a Windows-style path, and the Windows-style path of a host file.
    std::function<std::optional<std::string>(const std::string& windowsPath)> hostPathOf;
    std::function<std::optional<std::string>(const std::string& hostPath)> windowsPathOf;
    // The mount point of a drive letter, shown beside the chooser's entries.
    std::function<std::string(char letter)> mountPointOf;
    // Our format dialog for a drive, by its index counted from A = 0, and the medium selected in it.
    std::function<FormatOutcome(QWidget* parent, int driveIndex, const MediumIdentity& medium)> formatDrive;
    // Holds back (true) or lets through again (false) the drive monitors while an operation lets
    // the window answer the system: a rescan then would point the card's drive letter elsewhere
    // under the running operation. What changed is seen at the next modal dialog or at the end.
    std::function<void(bool hold)> holdDeviceChanges;
};

class QtDesktop final : public WindowDesktop {
public:
    QtDesktop(MainWindow& window, DesktopServices services);
    ~QtDesktop() override;
    QtDesktop(const QtDesktop&) = delete;
    QtDesktop& operator=(const QtDesktop&) = delete;

    // True once the dialog has asked to end.
    [[nodiscard]] bool ended() const { return ended_; }
    [[nodiscard]] bool endedWithOk() const { return endedWithOk_; }

    MessageAnswer ShowMessageBox(const std::string& text, MessageButtons buttons, MessageKind kind) override;
    std::optional<std::string> SaveFileDialog(const FileDialogSettings& settings) override;
    std::optional<std::string> OpenFileDialog(const FileDialogSettings& settings) override;
    // Run a step at a time whenever the dialog's event loop has nothing else to do.
    void WorkWhileNextFileDialogWaits(const std::function<bool()>& step) override { fileDialogWork_ = step; }
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
    // The dots per inch Qt lays the window out at: Qt scales its pixels to the screen's itself, so
    // this is 96 unless the desktop sets a font resolution without scaling.
    [[nodiscard]] int WindowDpi() const override;
    void EndDialog(bool ok) override;

private:
    std::optional<std::string> FileDialog(FileDialogKind kind, const FileDialogSettings& settings);

    MainWindow& window_;
    DesktopServices services_;
    std::function<bool()> fileDialogWork_;
    int busyDepth_ = 0;
    bool ended_ = false;
    bool endedWithOk_ = false;
};

}  // namespace vocell::qt
