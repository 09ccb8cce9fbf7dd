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
    virtual void pull() = 0;  // reads the device list's selection into deviceIndex
    virtual void push() = 0;
    virtual void refreshCardStatus() = 0;
    virtual void clearCardTypeAndVersion() = 0;
    virtual void showMessage(std::string_view text) = 0;
};

// volumeLabel receives the label of the chosen drive (empty when it cannot be read).
void ProbeSelectedDevice(DeviceSlots& slots, Volumes& volumes, SelectionHost& host,
                         std::string& volumeLabel);

}  // namespace vocell::devices
