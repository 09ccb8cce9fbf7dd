#include "devices/DeviceSlots.h"

#include "common/Messages.h"

namespace vocell::devices {

std::string DeviceSlots::cardRoot() const {
    return indexIsSlot() ? slotRoots[static_cast<std::size_t>(deviceIndex)] : std::string();
}

int DeviceSlots::selectedLetterCode() const {
    return indexIsSlot() ? slotLetters[static_cast<std::size_t>(deviceIndex)] : kNoDrive;
}

int LetterCode(const std::string& root) {
    for (int code = 0; code < kNoDrive; ++code) {
        if (root == DriveRoot(static_cast<char>(kFirstCodedLetter + code))) return code;
    }
    return kNoDrive;
}

std::string DriveRoot(char letter) { return std::string{letter, ':', '\\'}; }

std::string ReadVolumeLabel(Volumes& volumes, const std::string& root) {
    return root.empty() ? std::string() : volumes.VolumeLabel(root).value_or("");
}

std::string DeviceText(const std::string& root, const std::string& label) {
    if (root.empty()) return {};
    const std::string drive = std::string(1, root[0]) + ":)";
    return (label.empty() ? std::string(text::kRemovableDisk) : label) + " (" + drive;
}

}  // namespace vocell::devices
