#pragma once
// Keeps the device slots and the device list current with the removable drives present.

#include <cstdint>
#include <string_view>

#include "devices/DeviceSlots.h"
#include "platform/Volumes.h"

namespace vocell::devices {

// Device-change event codes that lead to a rebuild; direct calls pass 0.
inline constexpr std::uint32_t kDirectRefresh = 0x0000;
inline constexpr std::uint32_t kDeviceArrival = 0x8000;
inline constexpr std::uint32_t kDeviceRemoveComplete = 0x8004;

// Rebuilds the slot roots, their letter codes and the device list from the drives present.
// False, with nothing changed, for an event code that is ignored. The caller pushes after a
// rebuild. Slots from the number of drives found on keep their earlier roots, except the
// selected slot, whose root is cleared; drives past the sixth are not stored.
bool RefreshDeviceList(DeviceSlots& slots, Volumes& volumes, std::uint32_t eventCode);

// The shell asks the main window, by this registered message, whether to cancel AutoPlay for a
// medium just inserted; the window rescans and answers 1 (cancel).
inline constexpr std::string_view kQueryCancelAutoPlay = "QueryCancelAutoPlay";
inline constexpr long kCancelAutoPlay = 1;

// The window procedure's test: a message that is the registered AutoPlay query.
constexpr bool IsQueryCancelAutoPlay(std::uint32_t message, std::uint32_t registeredId) {
    return message != 0 && message == registeredId;
}

}  // namespace vocell::devices
