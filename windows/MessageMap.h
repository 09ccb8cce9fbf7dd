#pragma once
// How the main dialog's window messages become UtilityDialog calls: which control notifications
// are commands, and what a WM_DEVICECHANGE event code means to the device code.

#include <cstdint>
#include <optional>

#include "devices/DeviceDiscovery.h"

namespace vocell::win32 {

// The command of a WM_COMMAND notification: a button clicked (Select, Backup, Restore, Update,
// Initialize, the hidden Exit or Enter, Cancel or Esc) or the device list's selection changed.
// Nothing for every other notification, such as the text fields reporting a change.
std::optional<int> CommandOf(int controlId, unsigned notification);

// DBT_DEVICEARRIVAL and DBT_DEVICEREMOVECOMPLETE rescan, and so does a code of 0, as a direct
// rescan would; every other code is ignored.
devices::DeviceEvent DeviceEventOf(std::uintptr_t eventCode);

}  // namespace vocell::win32
