#pragma once
// A volume's device node opened to be formatted, and the medium read through the open descriptor:
// what is checked is what is formatted, whatever takes the node's name meanwhile.

#include <sys/types.h>

#include <optional>
#include <string>

#include "platform/Volumes.h"
#include "platform/linux/files/UniqueFd.h"

namespace vocell::linux_drives {

class OpenedVolume {
public:
    // Opens the node read-only; nothing when it cannot be opened or names no block device.
    [[nodiscard]] static std::optional<OpenedVolume> Open(const std::string& devNode);

    // The medium's identity as it is now, in IdentityOf's words: the size and the file system
    // read through the descriptor (libblkid's probe), the reader and partition from udev by the
    // opened device's number. Nothing when a part cannot be read.
    [[nodiscard]] std::optional<MediumIdentity> Identity() const;
    // True while devNode still names the node opened, not one made anew for another device.
    [[nodiscard]] bool NamedBy(const std::string& devNode) const;

    [[nodiscard]] dev_t device() const { return device_; }
    [[nodiscard]] int fd() const { return fd_.get(); }
    // "/proc/self/fd/N": the opened device for a program that inherits the descriptor.
    [[nodiscard]] std::string descriptorPath() const;

private:
    OpenedVolume(posix::UniqueFd fd, dev_t device, dev_t nodeFileSystem, ino_t node, bool kernelBlockDevice);

    posix::UniqueFd fd_;
    dev_t device_;
    dev_t nodeFileSystem_;
    ino_t node_;
    bool kernelBlockDevice_;  // false for a device the kernel sees as a file (a mocked one)
};

}  // namespace vocell::linux_drives
