#include "platform/qt/UDisks2Formatter.h"

#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusVariant>
#include <optional>

#include "common/Messages.h"

namespace vocell::qt {
namespace {

const QString kService = QStringLiteral("org.freedesktop.UDisks2");
const QString kManagerPath = QStringLiteral("/org/freedesktop/UDisks2/Manager");
const QString kManager = QStringLiteral("org.freedesktop.UDisks2.Manager");
const QString kBlock = QStringLiteral("org.freedesktop.UDisks2.Block");
const QString kDrive = QStringLiteral("org.freedesktop.UDisks2.Drive");
const QString kFilesystem = QStringLiteral("org.freedesktop.UDisks2.Filesystem");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
constexpr int kQueryTimeoutMs = 25'000;

std::string Text(std::string_view a, const std::string& b, std::string_view c = {}) {
    return std::string(a) + b + std::string(c);
}

class UDisks {
public:
    explicit UDisks(QDBusConnection& bus) : bus_(bus) {}

    QDBusMessage Call(const QString& path, const QString& interface, const QString& method,
                      const QVariantList& arguments, int timeoutMs = kQueryTimeoutMs) {
        QDBusMessage message = QDBusMessage::createMethodCall(kService, path, interface, method);
        message.setArguments(arguments);
        message.setInteractiveAuthorizationAllowed(true);
        return bus_.call(message, QDBus::Block, timeoutMs);
    }

    std::optional<QVariant> Property(const QString& path, const QString& interface, const QString& name) {
        const QDBusMessage reply = Call(path, kProperties, QStringLiteral("Get"), {interface, name});
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return std::nullopt;
        return qvariant_cast<QDBusVariant>(reply.arguments().constFirst()).variant();
    }

    // The block object whose device node is devNode.
    std::optional<QString> BlockOf(const std::string& devNode, std::string& error) {
        const QDBusMessage reply =
            Call(kManagerPath, kManager, QStringLiteral("GetBlockDevices"), {QVariantMap()});
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
            error = reply.errorMessage().toStdString();
            return std::nullopt;
        }
        const auto blocks = qdbus_cast<QList<QDBusObjectPath>>(reply.arguments().constFirst());
        for (const QDBusObjectPath& block : blocks) {
            auto device = Property(block.path(), kBlock, QStringLiteral("Device"));
            if (device && QString::fromUtf8(device->toByteArray().constData()).toStdString() == devNode) {
                return block.path();
            }
        }
        error = devNode;
        return std::nullopt;
    }

    bool BoolProperty(const QString& path, const QString& interface, const QString& name) {
        auto value = Property(path, interface, name);
        return value && value->toBool();
    }

private:
    QDBusConnection& bus_;
};

std::optional<std::string> Failure(const QDBusMessage& reply) {
    if (reply.type() == QDBusMessage::ReplyMessage) return std::nullopt;
    return reply.errorMessage().isEmpty() ? reply.errorName().toStdString()
                                          : reply.errorMessage().toStdString();
}

}  // namespace

UDisks2Formatter::UDisks2Formatter(QDBusConnection bus) : bus_(std::move(bus)) {}

bool UDisks2Formatter::available() const {
    return bus_.isConnected() && bus_.interface() != nullptr &&
           bus_.interface()->isServiceRegistered(kService);
}

FormatResult UDisks2Formatter::Check(const FormatTarget& target) {
    UDisks udisks(bus_);
    std::string notFound;
    const auto block = udisks.BlockOf(target.devNode, notFound);
    if (!block)
        return FormatResult::Failed(Text(target.deviceText, "", text::format::kNotFoundByUDisks) + notFound);
    const auto drive = udisks.Property(*block, kBlock, QStringLiteral("Drive"));
    const QString drivePath = drive ? qvariant_cast<QDBusObjectPath>(*drive).path() : QString();
    const bool removable = !drivePath.isEmpty() && drivePath != QStringLiteral("/") &&
                           (udisks.BoolProperty(drivePath, kDrive, QStringLiteral("Removable")) ||
                            udisks.BoolProperty(drivePath, kDrive, QStringLiteral("MediaRemovable")));
    if (!removable || udisks.BoolProperty(*block, kBlock, QStringLiteral("HintSystem"))) {
        return FormatResult::Failed(Text(target.deviceText, "", text::format::kNotRemovable));
    }
    return FormatResult::Done();
}

FormatResult UDisks2Formatter::Format(const FormatTarget& target, const std::string& label) {
    // Asked again: the drives may have changed while our dialog was open.
    if (FormatResult allowed = Check(target); !allowed.ok) return allowed;
    UDisks udisks(bus_);
    std::string notFound;
    const auto block = udisks.BlockOf(target.devNode, notFound);
    if (!block)
        return FormatResult::Failed(Text(target.deviceText, "", text::format::kNotFoundByUDisks) + notFound);

    if (auto mounts = udisks.Property(*block, kFilesystem, QStringLiteral("MountPoints"));
        mounts && !qdbus_cast<QList<QByteArray>>(*mounts).isEmpty()) {
        if (auto error =
                Failure(udisks.Call(*block, kFilesystem, QStringLiteral("Unmount"), {QVariantMap()}))) {
            return FormatResult::Failed(std::string(text::format::kFormatFailed) + *error);
        }
    }
    const QVariantMap options{{QStringLiteral("label"), QString::fromStdString(label)},
                              {QStringLiteral("update-partition-type"), true}};
    const auto timeout = std::chrono::duration_cast<std::chrono::milliseconds>(kFormatTimeout);
    if (auto error =
            Failure(udisks.Call(*block, kBlock, QStringLiteral("Format"), {QStringLiteral("vfat"), options},
                                static_cast<int>(timeout.count())))) {
        return FormatResult::Failed(std::string(text::format::kFormatFailed) + *error);
    }
    if (auto error = Failure(udisks.Call(*block, kFilesystem, QStringLiteral("Mount"), {QVariantMap()}))) {
        return FormatResult::Failed(std::string(text::format::kMountFailed) + *error);
    }
    return FormatResult::Done();
}

}  // namespace vocell::qt
