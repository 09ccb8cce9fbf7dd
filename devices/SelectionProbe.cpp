#include "devices/SelectionProbe.h"

#include "common/Messages.h"

namespace vocell::devices {

void ProbeSelectedDevice(DeviceSlots& slots, Volumes& volumes, SelectionHost& host,
                         std::string& volumeLabel) {
    host.Pull();
    if (slots.indexIsSlot()) {
        const auto slot = static_cast<std::size_t>(slots.deviceIndex);
        const std::string item = slots.deviceList.ItemText(slots.deviceIndex);
        const int code = LetterCode(item);
        slots.slotLetters[slot] = code;
        slots.slotRoots[slot] = code == kNoDrive ? std::string() : item;
    }
    const std::string cardRoot = slots.cardRoot();
    // An empty root is no path at all: it is not tried, and it is no missing medium either.
    if (!cardRoot.empty() && volumes.OpenRootForReading(cardRoot).error == FsError::NotReady) {
        host.ShowMessage(text::kNoMediaPresent);
        host.ClearCardTypeAndVersion();
        host.Push();
        return;
    }
    volumeLabel = ReadVolumeLabel(volumes, cardRoot);
    host.RefreshCardStatus();
    host.Push();
}

}  // namespace vocell::devices
