#pragma once
// The probe of the device the user has just chosen: it fixes the selected slot's root and letter
// code from the device list, tests for a medium and reads the volume label.

#include <string>
#include <string_view>

#include "devices/DeviceSlots.h"
#include "platform/Volumes.h"

namespace vocell::devices {

// What the probe needs of the main dialog.
class SelectionHost {
public:
    virtual ~SelectionHost() = default;
    virtual void Pull() = 0;  // reads the device list's selection into deviceIndex
    virtual void Push() = 0;
    virtual void RefreshCardStatus() = 0;
    virtual void ClearCardTypeAndVersion() = 0;
    virtual void ShowMessage(std::string_view text) = 0;
};

// volumeLabel receives the label of the chosen drive (empty when it cannot be read).
void ProbeSelectedDevice(DeviceSlots& slots, Volumes& volumes, SelectionHost& host, std::string& volumeLabel);

}  // namespace vocell::devices
