#pragma once
// The checks the card operations make before they act. Each shows its message (OK button) and
// returns false when it fails.

#include <string_view>

#include "operations/OperationHost.h"

namespace vocell::operations {

// Status still "Card Not Selected": "Please select a device.".
bool CheckCardSelected(OperationHost& host);
// The media test on the card root: "No media present." when the drive holds no medium.
bool CheckMediaPresent(OperationHost& host);
// The selected slot has no drive: "Please insert a valid Vocell card into the drive.".
bool CheckDriveInSlot(OperationHost& host);
// The install folder exists; otherwise its re-install message.
bool CheckInstallFolder(OperationHost& host, std::string_view folder, std::string_view message);
// After a rescan, the selected slot still holds the drive the user selected; otherwise "Please
// select a device." and the Status returns to "Card Not Selected".
bool CheckStillSelectedCard(OperationHost& host);

}  // namespace vocell::operations
