#pragma once
// What Initialize formats on the machine's drives: the volume with a drive letter, as a scan made
// now finds it, with its medium's identity and what the formatters check it by.

#include <optional>
#include <string>

#include "platform/linux/drives/LinuxVolumes.h"
#include "platform/linux/format/CardFormatter.h"

namespace vocell::qt {

// The volume that holds the letter after a rescan, with its label in currentLabel; nothing when the
// letter names no volume or a reader without a medium.
std::optional<FormatTarget> FormatTargetOf(linux_drives::LinuxVolumes& volumes, char letter,
                                           std::string& currentLabel);

}  // namespace vocell::qt
