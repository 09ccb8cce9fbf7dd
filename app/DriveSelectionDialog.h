#pragma once
// The device chooser: lists the removable drives by volume label and letter.

#include <array>
#include <string>
#include <vector>

#include "app/Desktop.h"
#include "devices/DeviceSlots.h"
#include "platform/Volumes.h"

namespace vocell {

class DriveSelectionDialog {
public:
    DriveSelectionDialog(Desktop& desktop, Volumes& volumes) : desktop_(desktop), volumes_(volumes) {}

    // Builds the entries and runs the chooser; true when it ended with OK.
    bool DoModal();
    [[nodiscard]] const std::vector<std::string>& entries() const { return list_.items(); }

    int selectedIndex = 0;
    std::string noneMarker;
    std::array<std::string, devices::kSlotCount> slotRoots{};

private:
    Desktop& desktop_;
    Volumes& volumes_;
    devices::DeviceList list_;
};

}  // namespace vocell
