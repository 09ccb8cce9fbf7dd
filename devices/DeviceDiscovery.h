#pragma once
// Keeps the device slots and the device list current with the removable drives present.

#include "devices/DeviceSlots.h"
#include "platform/Volumes.h"

namespace vocell::devices {

// What the window system reports about drives. A window system maps its own notifications onto
// these (on Windows, the WM_DEVICECHANGE codes DBT_DEVICEARRIVAL and DBT_DEVICEREMOVECOMPLETE);
// Refresh is a rescan the dialog asks for itself.
enum class DeviceEvent { Refresh, Arrival, RemoveComplete, Other };

// Rebuilds the slot roots, their letter codes and the device list from the drives present.
// False, with nothing changed, for an event that is ignored. The caller pushes after a
// rebuild. Slots from the number of drives found on keep their earlier roots, except the
// selected slot, whose root is cleared; drives past the sixth are not stored.
bool RefreshDeviceList(DeviceSlots& slots, Volumes& volumes, DeviceEvent event);

}  // namespace vocell::devices
