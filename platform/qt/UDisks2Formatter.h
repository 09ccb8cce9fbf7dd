#pragma once
// Formats through the UDisks2 disk service on the system bus: unmounts the card's file system,
// formats its block device as vfat with the label, and mounts it again. Polkit asks the user
// for authorisation where the system wants it. Refuses a block device whose drive is not
// removable or that the service marks as part of the system.

#include <QDBusConnection>
#include <chrono>

#include "platform/qt/CardFormatter.h"

namespace vocell::qt {

class UDisks2Formatter final : public CardFormatter {
public:
    // Formatting a card takes minutes; a D-Bus call that waited only the default 25 seconds
    // would report a failure while the format goes on.
    static constexpr std::chrono::minutes kFormatTimeout{10};

    explicit UDisks2Formatter(QDBusConnection bus);

    // True when the service is on the bus.
    [[nodiscard]] bool available() const;
    FormatResult Check(const FormatTarget& target) override;
    FormatResult Format(const FormatTarget& target, const std::string& label) override;

private:
    QDBusConnection bus_;
};

}  // namespace vocell::qt
