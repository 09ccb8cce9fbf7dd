#include "platform/linux/format/UDisks2Objects.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>

#include "platform/linux/format/UDisks2Names.h"

namespace vocell::qt {
namespace {

// a{sa{sv}}: an object's interfaces with their properties.
std::map<QString, QVariantMap> Interfaces(const QDBusArgument& argument) {
    std::map<QString, QVariantMap> interfaces;
    argument.beginMap();
    while (!argument.atEnd()) {
        QString name;
        QVariantMap properties;
        argument.beginMapEntry();
        argument >> name >> properties;
        argument.endMapEntry();
        interfaces[name] = properties;
    }
    argument.endMap();
    return interfaces;
}

}  // namespace

std::optional<UDisks2Objects> UDisks2Objects::Read(const QDBusConnection& bus, int timeoutMs,
                                                   std::string& error) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        udisks2::kService, udisks2::kRootPath, udisks2::kObjectManager, QStringLiteral("GetManagedObjects"));
    const QDBusMessage reply = bus.call(call, QDBus::Block, timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        error = reply.errorMessage().isEmpty() ? reply.errorName().toStdString()
                                               : reply.errorMessage().toStdString();
        return std::nullopt;
    }
    UDisks2Objects found;
    const auto argument = qvariant_cast<QDBusArgument>(reply.arguments().constFirst());
    argument.beginMap();
    while (!argument.atEnd()) {
        QDBusObjectPath path;
        argument.beginMapEntry();
        argument >> path;
        found.objects_[path.path()] = Interfaces(argument);
        argument.endMapEntry();
    }
    argument.endMap();
    return found;
}

bool UDisks2Objects::Has(const QString& path, const QString& interface) const {
    const auto object = objects_.find(path);
    return object != objects_.end() && object->second.count(interface) != 0;
}

QVariant UDisks2Objects::Property(const QString& path, const QString& interface, const QString& name) const {
    const auto object = objects_.find(path);
    if (object == objects_.end()) return {};
    const auto properties = object->second.find(interface);
    if (properties == object->second.end()) return {};
    return properties->second.value(name);
}

bool UDisks2Objects::BoolProperty(const QString& path, const QString& interface, const QString& name) const {
    return Property(path, interface, name).toBool();
}

std::uint64_t UDisks2Objects::NumberProperty(const QString& path, const QString& interface,
                                             const QString& name) const {
    return Property(path, interface, name).toULongLong();
}

QString UDisks2Objects::StringProperty(const QString& path, const QString& interface,
                                       const QString& name) const {
    return Property(path, interface, name).toString();
}

std::string UDisks2Objects::PathProperty(const QString& path, const QString& interface,
                                         const QString& name) const {
    QByteArray bytes = Property(path, interface, name).toByteArray();
    if (bytes.endsWith('\0')) bytes.chop(1);
    return bytes.toStdString();
}

QString UDisks2Objects::ObjectProperty(const QString& path, const QString& interface,
                                       const QString& name) const {
    const QString object = qvariant_cast<QDBusObjectPath>(Property(path, interface, name)).path();
    return object == QStringLiteral("/") ? QString() : object;
}

std::vector<QString> UDisks2Objects::Blocks() const {
    std::vector<QString> blocks;
    for (const auto& [path, interfaces] : objects_) {
        if (interfaces.count(udisks2::kBlock) != 0) blocks.push_back(path);
    }
    return blocks;
}

std::optional<QString> UDisks2Objects::BlockOf(dev_t device, const std::string& devNode) const {
    for (const QString& block : Blocks()) {
        if (NumberProperty(block, udisks2::kBlock, QStringLiteral("DeviceNumber")) == device &&
            PathProperty(block, udisks2::kBlock, QStringLiteral("Device")) == devNode) {
            return block;
        }
    }
    return std::nullopt;
}

}  // namespace vocell::qt
