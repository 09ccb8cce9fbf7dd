#include "qt/program/DesktopProgram.h"

#include <QDBusConnection>

#include "devices/DeviceSlots.h"
#include "platform/linux/files/FolderVolumes.h"
#include "platform/linux/format/MkfsFormatter.h"
#include "platform/linux/format/UDisks2Formatter.h"
#include "qt/CardFormat.h"
#include "qt/program/FormatTargets.h"

namespace vocell::qt {

DesktopProgram::DesktopProgram(const ProgramOptions& options) : drives_(options.cardFolder) {
    if (options.cardFolder.empty()) {
        // Where UDisks2 runs, its judgement of the system's devices counts as well.
        judgement_ = std::make_unique<UDisks2Judgement>(QDBusConnection::systemBus());
        linux_drives::DriveDiscovery discovery{options.extraMediaRoots,
                                               [this] { return judgement_->SystemDevices(); }};
        removableDrives_ = std::make_unique<linux_drives::LinuxVolumes>(
            [this](const linux_drives::DriveMounts& mounts) { drives_.MountRemovableDrives(mounts); },
            std::move(discovery));
        monitor_ = std::make_unique<linux_drives::DeviceMonitor>();
    } else {
        folderVolumes_ = std::make_unique<posix::FolderVolumes>(options.cardFolder);
    }
    DesktopServices services = Services(options);
    if (options.adjustServices) options.adjustServices(services);
    desktop_ = std::make_unique<QtDesktop>(window_, std::move(services));
    Volumes& volumes = removableDrives_ ? static_cast<Volumes&>(*removableDrives_) : *folderVolumes_;
    app_ = std::make_unique<UtilityApp>(*desktop_, volumes, drives_.fileSystem());
    window_.Attach(app_->dialog());
    if (monitor_) {
        watcher_ = std::make_unique<DeviceWatcher>(
            *monitor_, *removableDrives_,
            [this](devices::DeviceEvent event) { app_->dialog().OnDeviceChange(event); });
    }
}

DesktopProgram::~DesktopProgram() = default;

DesktopServices DesktopProgram::Services(const ProgramOptions& options) {
    DesktopServices services;
    services.hostPathOf = [this](const std::string& windowsPath) -> std::optional<std::string> {
        auto host = drives_.HostPathOf(windowsPath);
        if (!host) return std::nullopt;
        return host->string();
    };
    services.windowsPathOf = [](const std::string& hostPath) {
        return posix::HostDrives::HostPath(hostPath);
    };
    const std::filesystem::path cardFolder =
        options.cardFolder.empty() ? std::filesystem::path() : std::filesystem::absolute(options.cardFolder);
    services.mountPointOf = [this, cardFolder](char letter) -> std::string {
        if (!removableDrives_) return letter == posix::kCardRoot[0] ? cardFolder.string() : std::string();
        auto volume = removableDrives_->VolumeOfLetter(letter);
        return volume ? volume->mountPoint : std::string();
    };
    services.holdDeviceChanges = [this](bool hold) {
        if (watcher_) watcher_->Hold(hold);
    };
    services.formatDrive = [this](QWidget* parent, int driveIndex, const MediumIdentity& medium) {
        return FormatDrive(parent, driveIndex, medium);
    };
    return services;
}

FormatOutcome DesktopProgram::FormatDrive(QWidget* parent, int driveIndex, const MediumIdentity& medium) {
    CardFormatServices services;
    services.targetOf = [this](char letter, std::string& currentLabel) -> std::optional<FormatTarget> {
        if (!removableDrives_) return std::nullopt;  // a folder is not a card in a reader
        return FormatTargetOf(*removableDrives_, letter, currentLabel);
    };
    services.tell = [this](const std::string& text) {
        desktop_->ShowMessageBox(text, MessageButtons::Ok, MessageKind::Notice);
    };
    services.releaseCard = [this] {
        if (removableDrives_) drives_.MountRemovableDrives(removableDrives_->mounts());
    };
    UDisks2Formatter udisks(QDBusConnection::systemBus());
    MkfsFormatter mkfs;
    if (udisks.available()) {
        services.formatter = &udisks;
    } else if (MkfsFormatter::available()) {
        services.formatter = &mkfs;
    }
    return FormatSelectedCard(parent, driveIndex, medium, services);
}

bool DesktopProgram::Start() {
    app_->start();
    return !desktop_->ended();
}

int DesktopProgram::Run() {
    if (!Start()) return 0;
    window_.show();
    window_.exec();
    return 0;
}

}  // namespace vocell::qt
