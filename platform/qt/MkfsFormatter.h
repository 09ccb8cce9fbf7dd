#pragma once
// Formats without a disk service, for a program running as root: unmounts the card, runs
// "mkfs.fat -F 16" on its block device and mounts it again where it was.

#include "platform/qt/CardFormatter.h"

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
