#pragma once
// The objects of the UDisks2 disk service as one call to its object manager finds them: each
// object's interfaces with their properties, read at one moment.

#include <sys/types.h>

#include <QDBusConnection>
#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vocell::qt {

class UDisks2Objects {
public:
    // Asks the service; nothing when it does not answer, with the reason in error.
    static std::optional<UDisks2Objects> Read(const QDBusConnection& bus, int timeoutMs, std::string& error);

    [[nodiscard]] bool Has(const QString& path, const QString& interface) const;
    // The property's value; invalid when the object, interface or property is not there.
    [[nodiscard]] QVariant Property(const QString& path, const QString& interface, const QString& name) const;
    [[nodiscard]] bool BoolProperty(const QString& path, const QString& interface, const QString& name) const;
    [[nodiscard]] std::uint64_t NumberProperty(const QString& path, const QString& interface,
                                               const QString& name) const;
    [[nodiscard]] QString StringProperty(const QString& path, const QString& interface,
                                         const QString& name) const;
    // An "ay" property holding a path with its trailing zero ("/dev/sdb1").
    [[nodiscard]] std::string PathProperty(const QString& path, const QString& interface,
                                           const QString& name) const;
    // An "o" property; empty for the empty object "/".
    [[nodiscard]] QString ObjectProperty(const QString& path, const QString& interface,
                                         const QString& name) const;

    // The block objects, in the order of their paths.
    [[nodiscard]] std::vector<QString> Blocks() const;
    // The block object of the block device with that number whose device node is devNode.
    [[nodiscard]] std::optional<QString> BlockOf(dev_t device, const std::string& devNode) const;

private:
    std::map<QString, std::map<QString, QVariantMap>> objects_;  // path, interface, properties
};

}  // namespace vocell::qt
