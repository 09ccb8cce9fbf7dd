#include "qt/program/DeviceWatcher.h"

namespace vocell::qt {

DeviceWatcher::DeviceWatcher(linux_drives::DeviceMonitor& monitor, linux_drives::LinuxVolumes& volumes,
                             std::function<void(devices::DeviceEvent)> notify)
    : monitor_(monitor), volumes_(volumes), notify_(std::move(notify)) {
    if (monitor_.udevFd() >= 0) {
        udevNotifier_ = std::make_unique<QSocketNotifier>(monitor_.udevFd(), QSocketNotifier::Read);
        QObject::connect(udevNotifier_.get(), &QSocketNotifier::activated, [this] { Woken(true); });
    }
    if (monitor_.mountFd() >= 0) {
        mountNotifier_ = std::make_unique<QSocketNotifier>(monitor_.mountFd(), QSocketNotifier::Read);
        QObject::connect(mountNotifier_.get(), &QSocketNotifier::activated, [this] { Woken(false); });
    }
}

void DeviceWatcher::Hold(bool hold) {
    for (QSocketNotifier* notifier : {udevNotifier_.get(), mountNotifier_.get()}) {
        if (notifier != nullptr) notifier->setEnabled(!hold);
    }
}

void DeviceWatcher::Woken(bool udevEvent) {
    const bool relevant = udevEvent ? monitor_.DrainUdevEvents() : monitor_.DrainMountChanges();
    if (!relevant) return;
    switch (volumes_.Rescan()) {
        case linux_drives::DriveChange::None: break;
        case linux_drives::DriveChange::Arrived: notify_(devices::DeviceEvent::Arrival); break;
        case linux_drives::DriveChange::Removed: notify_(devices::DeviceEvent::RemoveComplete); break;
    }
}

}  // namespace vocell::qt
