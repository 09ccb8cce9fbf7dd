#include "platform/qt/MkfsFormatter.h"

#include <sys/mount.h>
#include <unistd.h>

#include <QProcess>
#include <cerrno>
#include <cstring>

#include "common/Messages.h"

namespace vocell::qt {
namespace {

constexpr int kFormatTimeoutMs = 10 * 60 * 1000;

std::string Failed(std::string_view what, const std::string& why) { return std::string(what) + why; }

}  // namespace

bool MkfsFormatter::available() { return ::geteuid() == 0; }

FormatResult MkfsFormatter::Check(const FormatTarget& target) {
    if (target.devNode.empty())
        return FormatResult::Failed(target.deviceText + std::string(text::format::kNotRemovable));
    return FormatResult::Done();
}

FormatResult MkfsFormatter::Format(const FormatTarget& target, const std::string& label) {
    if (!target.mountPoint.empty() && ::umount2(target.mountPoint.c_str(), 0) != 0) {
        return FormatResult::Failed(Failed(text::format::kFormatFailed, std::strerror(errno)));
    }
    QProcess mkfs;
    mkfs.setProcessChannelMode(QProcess::MergedChannels);
    QStringList arguments{QStringLiteral("-F"), QStringLiteral("16")};
    if (!label.empty()) arguments << QStringLiteral("-n") << QString::fromStdString(label);
    arguments << QString::fromStdString(target.devNode);
    mkfs.start(QStringLiteral("mkfs.fat"), arguments);
    if (!mkfs.waitForFinished(kFormatTimeoutMs) || mkfs.exitStatus() != QProcess::NormalExit ||
        mkfs.exitCode() != 0) {
        const QString output = QString::fromLocal8Bit(mkfs.readAll()).trimmed();
        return FormatResult::Failed(Failed(text::format::kFormatFailed,
                                           (output.isEmpty() ? mkfs.errorString() : output).toStdString()));
    }
    if (!target.mountPoint.empty() &&
        ::mount(target.devNode.c_str(), target.mountPoint.c_str(), "vfat", 0, nullptr) != 0) {
        return FormatResult::Failed(Failed(text::format::kMountFailed, std::strerror(errno)));
    }
    return FormatResult::Done();
}

}  // namespace vocell::qt
