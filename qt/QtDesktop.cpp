#include "qt/QtDesktop.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>
#include <algorithm>
#include <utility>

#include "common/Messages.h"
#include "operations/OperationContext.h"
#include "qt/AboutDialog.h"
#include "qt/DriveChooserDialog.h"
#include "qt/MessageBoxes.h"

namespace vocell::qt {
namespace {

QRect ToQRect(const Rect& rect) { return {rect.left, rect.top, rect.width(), rect.height()}; }

}  // namespace

QtDesktop::QtDesktop(MainWindow& window, DesktopServices services)
    : window_(window), services_(std::move(services)) {}

QtDesktop::~QtDesktop() {
    // A busy cursor left by an operation that never finished must not outlive the window.
    while (busyDepth_ > 0) EndBusyCursor();
}

MessageAnswer QtDesktop::ShowMessageBox(const std::string& text, MessageButtons buttons,
                                        MessageKind /*kind*/) {
    const QString shown = QString::fromStdString(text);
    // Centred on the main window; before it is shown (the re-install message at start-up), on
    // the screen.
    QWidget* owner = window_.isVisible() ? &window_ : nullptr;
    if (services_.messageBox) return services_.messageBox(owner, shown, buttons);
    return RunMessageBox(owner, shown, buttons);
}

std::optional<std::string> QtDesktop::FileDialog(FileDialogKind kind, const FileDialogSettings& settings) {
    QString folder;
    if (services_.hostPathOf) {
        if (auto host = services_.hostPathOf(settings.initialFolder)) folder = QString::fromStdString(*host);
    }
    // A timer of no interval fires each time the dialog's loop has handled what was waiting.
    const std::function<bool()> work = std::exchange(fileDialogWork_, {});
    QTimer idle;
    if (work) {
        QObject::connect(&idle, &QTimer::timeout, [&] {
            if (!work()) idle.stop();
        });
        idle.start(0);
    }
    const auto chosen = services_.fileDialog ? services_.fileDialog(&window_, kind, settings, folder)
                                             : RunFileDialog(&window_, kind, settings, folder);
    idle.stop();  // the message box below runs a loop of its own
    if (!chosen || chosen->isEmpty()) return std::nullopt;
    const std::string host = chosen->toStdString();
    if (!services_.windowsPathOf) return host;
    auto windowsPath = services_.windowsPathOf(host);
    if (!windowsPath) {
        // A host path the card's paths cannot name (a backslash in a name): say so rather than
        // acting as if the user had cancelled.
        ShowMessageBox(std::string(text::cli::kPathWithBackslash) + host, MessageButtons::Ok,
                       MessageKind::Notice);
    }
    return windowsPath;
}

std::optional<std::string> QtDesktop::SaveFileDialog(const FileDialogSettings& settings) {
    return FileDialog(FileDialogKind::Save, settings);
}

std::optional<std::string> QtDesktop::OpenFileDialog(const FileDialogSettings& settings) {
    return FileDialog(FileDialogKind::Open, settings);
}

std::optional<int> QtDesktop::RunDriveChooser(const std::vector<std::string>& entries, int selectedIndex) {
    DriveChooserDialog chooser(&window_, entries, selectedIndex, services_.mountPointOf);
    return chooser.Run();
}

void QtDesktop::ShowAbout() {
    AboutDialog about(&window_);
    about.exec();
}

FormatOutcome QtDesktop::ShowFormatDialog(int driveIndex, const MediumIdentity& medium) {
    if (!services_.formatDrive) return FormatOutcome::Closed;
    return services_.formatDrive(&window_, driveIndex, medium);
}

bool QtDesktop::CreateStatusBar(const Rect& area) { return window_.CreateStatusBar(ToQRect(area)); }

void QtDesktop::LayoutStatusBar(const std::vector<int>& paneRightEdges, int minimumHeight) {
    if (StatusPanes* bar = window_.statusBar()) {
        bar->setMinimumHeight(minimumHeight);
        bar->SetPanes(paneRightEdges);
    }
}

void QtDesktop::SetStatusPane(int pane, const std::string& text) {
    if (StatusPanes* bar = window_.statusBar()) {
        bar->SetPaneText(pane, QString::fromStdString(text));
        bar->repaint();
    }
    // The progress bar is read out by what is in progress.
    if (QProgressBar* progress = window_.progressBar();
        progress != nullptr && pane == operations::kActivityPane) {
        progress->setAccessibleName(QString::fromStdString(text));
    }
}

void QtDesktop::BeginBusyCursor() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    ++busyDepth_;
}

void QtDesktop::EndBusyCursor() {
    if (busyDepth_ == 0) return;
    QGuiApplication::restoreOverrideCursor();
    --busyDepth_;
}

void QtDesktop::CreateProgressBar(const Rect& area) {
    window_.CreateProgressBar(ToQRect(area));
    window_.progressBar()->repaint();
}

void QtDesktop::ShowProgress(const ProgressReport& report) {
    QProgressBar* bar = window_.progressBar();
    if (bar == nullptr) return;
    bar->setValue(std::clamp(report.position, bar->minimum(), bar->maximum()));
    // Drawn on the bar: its tooltip shows only to a mouse that rests on it, and the mouse waits
    // while the operation runs.
    const QString reading = QString::fromStdString(report.reading);
    bar->setToolTip(reading);
    bar->setFormat(reading);
    bar->setTextVisible(!reading.isEmpty());
    bar->repaint();
}

void QtDesktop::RemoveProgressBar() { window_.RemoveProgressBar(); }

void QtDesktop::Push(const DialogFields& fields) {
    window_.ShowFields(fields);
    Repaint();
}

void QtDesktop::Repaint() { window_.repaint(); }

void QtDesktop::KeepResponding() {
    if (services_.holdDeviceChanges) services_.holdDeviceChanges(true);
    // Paint, expose, the window manager's messages and accessibility requests; the user's clicks
    // and keys wait for the operation's end, and a close request is refused by the window.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (services_.holdDeviceChanges) services_.holdDeviceChanges(false);
}

Rect QtDesktop::WindowRect() const {
    const QRect frame = window_.frameGeometry();
    return {frame.left(), frame.top(), frame.left() + frame.width(), frame.top() + frame.height()};
}

Rect QtDesktop::ClientRect() const { return {0, 0, window_.width(), window_.height()}; }

int QtDesktop::WindowDpi() const { return window_.logicalDpiY(); }

void QtDesktop::EndDialog(bool ok) {
    ended_ = true;
    endedWithOk_ = ok;
    window_.Finish(ok);
}

}  // namespace vocell::qt
