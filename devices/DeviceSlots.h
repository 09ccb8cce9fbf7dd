#pragma once
// The six device slots: the drive root and letter code of each, the hidden device list, and the
// slot the user works with.

#include <array>
#include <string>

#include "devices/DeviceList.h"
#include "platform/Volumes.h"

namespace vocell::devices {

inline constexpr int kSlotCount = 6;
// Letter codes: 0 for "C:\" up to 23 for "Z:\"; 24 for a slot without a drive.
inline constexpr int kNoDrive = 24;
inline constexpr char kFirstCodedLetter = 'C';

struct DeviceSlots {
    std::array<std::string, kSlotCount> slotRoots{};
    std::array<int, kSlotCount> slotLetters{kNoDrive, 0, 0, 0, 0, 0};
    DeviceList deviceList;
    int deviceIndex = 0;

    [[nodiscard]] bool indexIsSlot() const { return deviceIndex >= 0 && deviceIndex < kSlotCount; }
    // The card root: the root of the selected slot; empty when there is none.
    [[nodiscard]] std::string cardRoot() const;
    // The letter code of the selected slot; kNoDrive when the index names no slot.
    [[nodiscard]] int selectedLetterCode() const;
};

// "C:\" gives 0 ... "Z:\" 23, compared exactly; anything else kNoDrive.
int LetterCode(const std::string& root);
// "E:\" for 'E'.
std::string DriveRoot(char letter);
// The volume label of a drive root; empty for an empty root or a label that cannot be read.
std::string ReadVolumeLabel(Volumes& volumes, const std::string& root);
// How a drive is named to the user: "VMCARD (E:)", or "Removable Disk (E:)" without a label;
// empty for an empty root.
std::string DeviceText(const std::string& root, const std::string& label);

}  // namespace vocell::devices
