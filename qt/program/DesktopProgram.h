#pragma once
// The Linux desktop program put together: the main dialog in its Qt window, on the machine's
// removable drives (or on a folder presented as drive E:), with hot-plug and formatting.

#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "app/UtilityApp.h"
#include "platform/linux/drives/DeviceMonitor.h"
#include "platform/linux/drives/LinuxVolumes.h"
#include "platform/linux/files/HostDrives.h"
#include "platform/linux/format/CardFormatter.h"
#include "platform/linux/format/UDisks2Judgement.h"
#include "qt/MainWindow.h"
#include "qt/QtDesktop.h"
#include "qt/program/DeviceWatcher.h"

namespace vocell::qt {

struct ProgramOptions {
    // A folder to present as the removable drive E: instead of the machine's drives.
    std::filesystem::path cardFolder;
    // Folders under which removable media are mounted, besides /media, /run/media and /mnt.
    std::vector<std::filesystem::path> extraMediaRoots;
    // Changes to the desktop's services (tests answer the message boxes here).
    std::function<void(DesktopServices&)> adjustServices;
};

class DesktopProgram {
public:
    explicit DesktopProgram(const ProgramOptions& options);
    ~DesktopProgram();
    DesktopProgram(const DesktopProgram&) = delete;
    DesktopProgram& operator=(const DesktopProgram&) = delete;

    // Initialises the dialog; false when it ended already (an incomplete installation).
    bool Start();
    // Start, then the dialog's modal run; the program's exit status.
    int Run();

    MainWindow& window() { return window_; }
    QtDesktop& desktop() { return *desktop_; }
    UtilityDialog& dialog() { return app_->dialog(); }

private:
    DesktopServices Services(const ProgramOptions& options);
    FormatOutcome FormatDrive(QWidget* parent, int driveIndex, const MediumIdentity& medium);

    posix::HostDrives drives_;
    std::unique_ptr<UDisks2Judgement> judgement_;
    std::unique_ptr<linux_drives::LinuxVolumes> removableDrives_;
    std::unique_ptr<Volumes> folderVolumes_;
    std::unique_ptr<linux_drives::DeviceMonitor> monitor_;
    std::unique_ptr<CardFormatter> formatter_;
    MainWindow window_;
    std::unique_ptr<QtDesktop> desktop_;
    std::unique_ptr<UtilityApp> app_;
    std::unique_ptr<DeviceWatcher> watcher_;
};

}  // namespace vocell::qt
