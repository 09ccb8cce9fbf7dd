#include "platform/linux/format/MkfsFormatter.h"

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QProcess>
#include <cerrno>
#include <cstring>
#include <optional>

#include "common/Messages.h"
#include "platform/linux/drives/OpenedVolume.h"

namespace vocell::qt {
namespace {

constexpr int kFormatTimeoutMs = 10 * 60 * 1000;

std::string Failed(std::string_view what, const std::string& why) { return std::string(what) + why; }

// The target's device, opened, while it holds the target's medium; else why not.
std::optional<linux_drives::OpenedVolume> OpenChecked(const FormatTarget& target, FormatResult& refusal) {
    auto opened = linux_drives::OpenedVolume::Open(target.devNode);
    const auto medium = opened ? opened->Identity() : std::nullopt;
    if (!medium) {
        refusal = FormatResult::Failed(target.deviceText + std::string(text::format::kCannotCheckCard));
        return std::nullopt;
    }
    if (*medium != target.medium) {
        refusal = FormatResult::Failed(std::string(text::kPleaseSelectDevice));
        return std::nullopt;
    }
    return opened;
}

// True when the folder is the root of a file system on the device.
bool MountedFrom(const std::string& folder, dev_t device) {
    struct stat mounted {};
    return ::stat(folder.c_str(), &mounted) == 0 && mounted.st_dev == device;
}

// mkfs.fat on the opened device, which it inherits: never on a node looked up again by name.
std::optional<std::string> RunMkfs(const linux_drives::OpenedVolume& device, const std::string& label) {
    QProcess mkfs;
    mkfs.setProcessChannelMode(QProcess::MergedChannels);
    const int fd = device.fd();
    mkfs.setChildProcessModifier([fd] { ::fcntl(fd, F_SETFD, 0); });
    QStringList arguments{QStringLiteral("-F"), QStringLiteral("16")};
    if (!label.empty()) arguments << QStringLiteral("-n") << QString::fromStdString(label);
    arguments << QString::fromStdString(device.descriptorPath());
    mkfs.start(QStringLiteral("mkfs.fat"), arguments);
    if (mkfs.waitForFinished(kFormatTimeoutMs) && mkfs.exitStatus() == QProcess::NormalExit &&
        mkfs.exitCode() == 0) {
        return std::nullopt;
    }
    const QString output = QString::fromLocal8Bit(mkfs.readAll()).trimmed();
    return (output.isEmpty() ? mkfs.errorString() : output).toStdString();
}

}  // namespace

bool MkfsFormatter::available() { return ::geteuid() == 0; }

FormatResult MkfsFormatter::Check(const FormatTarget& target) {
    if (target.devNode.empty())
        return FormatResult::Failed(target.deviceText + std::string(text::format::kNotRemovable));
    return FormatResult::Done();
}

FormatResult MkfsFormatter::Format(const FormatTarget& target, const std::string& label) {
    FormatResult refusal;
    const auto device = OpenChecked(target, refusal);
    if (!device) return refusal;
    const bool mounted = !target.mountPoint.empty() && MountedFrom(target.mountPoint, device->device());
    if (mounted && ::umount2(target.mountPoint.c_str(), 0) != 0) {
        return FormatResult::Failed(Failed(text::format::kFormatFailed, std::strerror(errno)));
    }
    // Once more immediately before the format: a reader keeps its device while a card is swapped.
    if (const auto medium = device->Identity(); medium != target.medium) {
        return FormatResult::Failed(std::string(text::kPleaseSelectDevice));
    }
    if (auto error = RunMkfs(*device, label))
        return FormatResult::Failed(Failed(text::format::kFormatFailed, *error));
    if (mounted) {
        if (!device->NamedBy(target.devNode)) {
            return FormatResult::Failed(Failed(text::format::kMountFailed, target.devNode));
        }
        if (::mount(target.devNode.c_str(), target.mountPoint.c_str(), "vfat", 0, nullptr) != 0) {
            return FormatResult::Failed(Failed(text::format::kMountFailed, std::strerror(errno)));
        }
    }
    return FormatResult::Done();
}

}  // namespace vocell::qt
