#include "qt/program/FormatTargets.h"

#include "devices/DeviceSlots.h"
#include "platform/linux/drives/VolumeIdentity.h"

namespace vocell::qt {

std::optional<FormatTarget> FormatTargetOf(linux_drives::LinuxVolumes& volumes, char letter,
                                           std::string& currentLabel) {
    volumes.Rescan();
    const auto volume = volumes.VolumeOfLetter(letter);
    const auto identity = volume ? linux_drives::IdentityOf(*volume) : std::nullopt;
    if (!identity) return std::nullopt;
    currentLabel = volume->label;
    FormatTarget target;
    target.letter = letter;
    target.devNode = volume->devNode;
    target.diskNode = volume->diskNode;
    target.mountPoint = volume->mountPoint;
    target.deviceText = devices::DeviceText(devices::DriveRoot(letter), volume->label);
    target.medium = *identity;
    target.deviceNumber = volume->device;
    target.partition = volume->partition;
    target.readerSerials = volume->readerSerials;
    return target;
}

}  // namespace vocell::qt
