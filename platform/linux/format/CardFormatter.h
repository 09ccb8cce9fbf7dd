#pragma once
// Formatting the selected card: what is formatted, and the ways of doing it.

#include <sys/types.h>

#include <string>
#include <vector>

#include "platform/Volumes.h"

namespace vocell::qt {

// The selected card's volume as the drive scan found it. A formatter formats it only while the
// device still holds that medium, in that reader and partition, and says so otherwise.
struct FormatTarget {
    char letter = 0;
    std::string devNode;     // "/dev/sdb1"
    std::string diskNode;    // "/dev/sdb"
    std::string mountPoint;  // empty when not mounted
    std::string deviceText;  // "VMCARD (E:)"
    MediumIdentity medium;   // the medium in the drive when it was found
    dev_t deviceNumber = 0;  // the volume's block device
    std::string partition;   // its number; empty for a volume on the whole disk
    // The serial numbers the reader goes by (udev's ID_SERIAL, ID_SERIAL_SHORT, ID_SCSI_SERIAL).
    std::vector<std::string> readerSerials;
};

struct FormatResult {
    bool ok = false;
    std::string error;  // why not, for the user
    static FormatResult Done() { return {true, {}}; }
    static FormatResult Failed(std::string error) { return {false, std::move(error)}; }
};

class CardFormatter {
public:
    virtual ~CardFormatter() = default;
    // Whether the target may be formatted at all, asked before the user is: never a fixed disk or
    // the system's own.
    virtual FormatResult Check(const FormatTarget& target) = 0;
    // Formats the target with a FAT file system of the given label and mounts it again, after
    // checking immediately before that the device still holds the target's medium.
    virtual FormatResult Format(const FormatTarget& target, const std::string& label) = 0;
};

}  // namespace vocell::qt
