#include "app/DriveSelectionDialog.h"

#include "common/Messages.h"

namespace vocell {

bool DriveSelectionDialog::DoModal() {
    list_.clear();
    for (int slot = 0; slot < devices::kSlotCount; ++slot) {
        const std::string& root = slotRoots[static_cast<std::size_t>(slot)];
        if (root.empty()) {
            if (slot == 0) {
                list_.insertAt(slot, std::string(text::kNoneEntry));
                noneMarker = text::kNoneEntry;
            }
            continue;
        }
        list_.insertAt(slot, devices::DeviceText(root, volumes_.volumeLabel(root).value_or("")));
    }
    list_.select(selectedIndex);
    auto chosen = desktop_.runDriveChooser(list_.items(), list_.selection());
    if (!chosen) return false;
    selectedIndex = *chosen;
    return true;
}

}  // namespace vocell
