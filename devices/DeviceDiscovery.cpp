#include "devices/DeviceDiscovery.h"

#include "devices/VolumeCensus.h"

namespace vocell::devices {
namespace {

constexpr int kFirstDriveBit = 2;  // drives A: and B: are never considered
constexpr int kLastDriveBit = 25;  // Z:

bool IsRefreshEvent(DeviceEvent event) {
    return event == DeviceEvent::Refresh || event == DeviceEvent::Arrival ||
           event == DeviceEvent::RemoveComplete;
}

}  // namespace

bool RefreshDeviceList(DeviceSlots& slots, Volumes& volumes, DeviceEvent event) {
    if (!IsRefreshEvent(event)) return false;

    if (CountRemovableVolumes(volumes, kSlotCount) >= 1) {
        while (slots.deviceList.count() > 0) slots.deviceList.DeleteItem(slots.deviceList.count() - 1);
    }
    const std::uint32_t mask = volumes.LogicalDrives();
    if (slots.indexIsSlot()) slots.slotRoots[static_cast<std::size_t>(slots.deviceIndex)].clear();

    std::size_t count = 0;
    for (int bit = kFirstDriveBit; bit <= kLastDriveBit && count < kSlotCount; ++bit) {
        if ((mask & (1u << bit)) == 0) continue;
        const std::string root = DriveRoot(static_cast<char>('A' + bit));
        if (volumes.DriveTypeOf(root) == DriveType::Removable) slots.slotRoots[count++] = root;
    }

    for (std::size_t s = 0; s < count; ++s) {
        const std::string& root = slots.slotRoots[s];
        slots.slotLetters[s] = LetterCode(root);
        if (slots.deviceList.FindExact(root) == 0) continue;
        const int position = static_cast<int>(s);
        if (s == 0 || slots.deviceList.ItemText(position - 1) != root) {
            slots.deviceList.InsertAt(position, root);
        }
    }
    return true;
}

}  // namespace vocell::devices
