#pragma once
// Formats without a disk service, for a program running as root: opens the card's device, checks
// through the open descriptor that it holds the target's medium (its size, the file system's
// serial and label, the reader and partition), unmounts the card, runs "mkfs.fat -F 16" on that
// very descriptor and mounts the card again where it was.

#include "platform/linux/format/CardFormatter.h"

namespace vocell::qt {

class MkfsFormatter final : public CardFormatter {
public:
    // True when the program runs as root.
    [[nodiscard]] static bool available();
    // The drive scan offers removable cards only; a target without a device node is none.
    FormatResult Check(const FormatTarget& target) override;
    FormatResult Format(const FormatTarget& target, const std::string& label) override;
};

}  // namespace vocell::qt
