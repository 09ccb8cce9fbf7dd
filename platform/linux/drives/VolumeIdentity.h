#pragma once
// The identity of a removable volume: what tells this card from another in the same reader, and
// stays while the card is unmounted, taken out and put back, or its reader plugged in again.

#include <optional>
#include <string>

#include "platform/Volumes.h"
#include "platform/linux/drives/RemovableVolumes.h"

struct udev_device;

namespace vocell::linux_drives {

// The reader that holds a disk, in words that stay while it is plugged in again: udev's ID_SERIAL
// (for an SD slot, the card's own serial), else the disk's sysfs path.
std::string ReaderNameOf(udev_device* disk);

// "<reader>-part1" for the first partition; the reader's name for a volume on the whole disk.
std::string VolumeDeviceName(const std::string& reader, const std::string& partition);

// The file system's serial (or UUID), its label as stored, the volume's size, and the reader with
// the partition; nothing for a reader without a medium. A card with no file system yet has an
// identity from the reader, the partition and the size alone.
std::optional<MediumIdentity> IdentityOf(const RemovableVolume& volume);

}  // namespace vocell::linux_drives
