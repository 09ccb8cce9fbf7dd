#pragma once
// Where the Linux program learns that drives changed, as the Windows one does from
// WM_DEVICECHANGE: the udev and mount-table monitors' descriptors on the event loop; after each
// wake-up the drives are scanned, and an arrival or removal goes to the dialog.

#include <QSocketNotifier>
#include <functional>
#include <memory>

#include "devices/DeviceDiscovery.h"
#include "platform/linux/drives/DeviceMonitor.h"
#include "platform/linux/drives/LinuxVolumes.h"

namespace vocell::qt {

class DeviceWatcher {
public:
    DeviceWatcher(linux_drives::DeviceMonitor& monitor, linux_drives::LinuxVolumes& volumes,
                  std::function<void(devices::DeviceEvent)> notify);

    // While held, the monitors are not read: what changes waits in them until let through again.
    void Hold(bool hold);

private:
    void Woken(bool udevEvent);

    linux_drives::DeviceMonitor& monitor_;
    linux_drives::LinuxVolumes& volumes_;
    std::function<void(devices::DeviceEvent)> notify_;
    std::unique_ptr<QSocketNotifier> udevNotifier_;
    std::unique_ptr<QSocketNotifier> mountNotifier_;
};

}  // namespace vocell::qt
