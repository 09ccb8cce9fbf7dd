#include "app/DriveSelectionDialog.h"

#include "common/Messages.h"

namespace vocell {

bool DriveSelectionDialog::DoModal() {
    list_.Clear();
    for (int slot = 0; slot < devices::kSlotCount; ++slot) {
        const std::string& root = slotRoots[static_cast<std::size_t>(slot)];
        if (root.empty()) {
            if (slot == 0) {
                list_.InsertAt(slot, std::string(text::kNoneEntry));
                noneMarker = text::kNoneEntry;
            }
            continue;
        }
        list_.InsertAt(slot, devices::DeviceText(root, devices::ReadVolumeLabel(volumes_, root)));
    }
    list_.Select(selectedIndex);
    auto chosen = desktop_.RunDriveChooser(list_.items(), list_.selection());
    if (!chosen) return false;
    selectedIndex = *chosen;
    return true;
}

}  // namespace vocell
