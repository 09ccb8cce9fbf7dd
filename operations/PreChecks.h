#pragma once
// The checks the card operations make before they act, each with its message (OK button).

#include <initializer_list>
#include <optional>

#include "operations/OperationContext.h"
#include "operations/Outcome.h"

namespace vocell::operations {

enum class Check {
    CardSelected,       // Status still "Card Not Selected": "Please select a device."
    MediaPresent,       // the media test on the card root: "No media present."
    DriveInSlot,        // the selected slot has no drive: "Please insert a valid Vocell card into the drive."
    StillSelectedCard,  // after a rescan the selected slot still holds the drive the user selected,
                        // with the medium that was in it at Select; otherwise "Please select a
                        // device." and Status returns to "Card Not Selected"
    BackupFolder,       // the install folders exist; otherwise their re-install messages
    DataFolder,
    PromptsFolder,
};

// A check that failed: its message has been shown; the operation ends with this outcome.
using Refusal = std::optional<Outcome>;

// Runs the checks in the order given and stops at the first that fails.
Refusal RunChecks(OperationContext& context, std::initializer_list<Check> checks);

}  // namespace vocell::operations
