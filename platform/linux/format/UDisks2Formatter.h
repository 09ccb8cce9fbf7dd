#pragma once
// Formats through the UDisks2 disk service on the system bus: unmounts the card's file system,
// formats its block device as vfat with the label, and mounts it again. Polkit asks the user
// for authorisation where the system wants it. Refuses a block device whose drive is not
// removable or that the service marks as part of the system, and one that no longer holds the
// target's medium: the block object is found by the device's number and node, checked against the
// medium (file-system serial, label, size, partition, the drive's serial) immediately before the
// format, and that object, never a node looked up again, is what the service formats.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>
#include <QVariantList>
#include <chrono>
#include <optional>

#include "platform/linux/format/CardFormatter.h"
#include "platform/linux/format/UDisks2Objects.h"

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
    struct Block {
        QString path;
        bool mounted = false;
    };
    std::optional<QString> AllowedBlock(const FormatTarget& target, FormatResult& refusal,
                                        std::optional<UDisks2Objects>& objects);
    std::optional<Block> CheckedBlock(const FormatTarget& target, FormatResult& refusal);
    QDBusMessage Call(const QString& block, const QString& interface, const QString& method,
                      const QVariantList& arguments, int timeoutMs);

    QDBusConnection bus_;
};

}  // namespace vocell::qt
