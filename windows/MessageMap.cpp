#include "windows/MessageMap.h"

#include <windows.h>

#include <dbt.h>

#include "app/DialogLayout.h"

namespace vocell::win32 {

std::optional<int> CommandOf(int controlId, unsigned notification) {
    switch (controlId) {
        case ControlId::Select:
        case ControlId::Backup:
        case ControlId::Restore:
        case ControlId::Update:
        case ControlId::Initialize:
        case ControlId::Ok:
        case ControlId::Cancel:
            if (notification == BN_CLICKED) return controlId;
            break;
        case ControlId::DeviceList:
            if (notification == CBN_SELCHANGE) return controlId;
            break;
        default: break;
    }
    return std::nullopt;
}

devices::DeviceEvent DeviceEventOf(std::uintptr_t eventCode) {
    switch (eventCode) {
        case 0: return devices::DeviceEvent::Refresh;
        case DBT_DEVICEARRIVAL: return devices::DeviceEvent::Arrival;
        case DBT_DEVICEREMOVECOMPLETE: return devices::DeviceEvent::RemoveComplete;
        default: return devices::DeviceEvent::Other;
    }
}

}  // namespace vocell::win32
