#include "tests/qt/MockUDisks2.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QThread>

namespace vocell::test {
namespace {

const QString kTest = QStringLiteral("org.vocell.Test.UDisks2");
const QString kMock = QStringLiteral("org.freedesktop.DBus.Mock");
constexpr int kWaitForMockMs = 10'000;
constexpr unsigned long kPollMs = 50;

QDBusMessage Call(const QString& path, const QString& interface, const QString& method,
                  const QVariantList& arguments) {
    QDBusMessage call = QDBusMessage::createMethodCall(qt::udisks2::kService, path, interface, method);
    call.setArguments(arguments);
    return QDBusConnection::systemBus().call(call);
}

QString ObjectOf(const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
    return qvariant_cast<QDBusObjectPath>(reply.arguments().constFirst()).path();
}

}  // namespace

bool MockUDisks2::Reset() {
    QElapsedTimer waited;
    waited.start();
    auto* bus = QDBusConnection::systemBus().interface();
    while ((bus == nullptr || !bus->isServiceRegistered(qt::udisks2::kService)) &&
           waited.elapsed() < kWaitForMockMs) {
        QThread::msleep(kPollMs);
    }
    return bus != nullptr && bus->isServiceRegistered(qt::udisks2::kService) &&
           Call(qt::udisks2::kManagerPath, kMock, QStringLiteral("Reset"), {}).type() ==
               QDBusMessage::ReplyMessage;
}

QString MockUDisks2::AddDrive(const MockDisk& disk, QVariantMap properties) {
    properties.insert(QStringLiteral("Serial"),
                      properties.value(QStringLiteral("Serial"), QString::fromStdString(disk.serialShort)));
    properties.insert(QStringLiteral("Removable"),
                      properties.value(QStringLiteral("Removable"), disk.removable));
    properties.insert(QStringLiteral("MediaRemovable"),
                      properties.value(QStringLiteral("MediaRemovable"), disk.removable));
    return ObjectOf(
        Call(qt::udisks2::kManagerPath, kTest, QStringLiteral("AddDrive"), {DriveName(disk), properties}));
}

QString MockUDisks2::AddPartition(const MockDisk& disk, int number, const MockPartition& partition,
                                  std::size_t count, const QVariantMap& properties) {
    QVariantMap block{
        {QStringLiteral("DeviceNumber"),
         QVariant::fromValue<qulonglong>(MockDrives::DeviceNumber(disk, number))},
        {QStringLiteral("Size"),
         QVariant::fromValue<qulonglong>(MockDrives::PartitionBytes(disk, partition, count))},
        {QStringLiteral("IdLabel"), QString::fromStdString(partition.label)},
        {QStringLiteral("IdUUID"), QString::fromStdString(partition.fsType.empty() ? "" : partition.uuid)},
        {QStringLiteral("IdType"), QString::fromStdString(partition.fsType)},
        {QStringLiteral("Number"), QVariant::fromValue<uint>(static_cast<uint>(number))},
    };
    if (!partition.mountPoint.empty())
        block.insert(QStringLiteral("MountPoint"), QString::fromStdString(partition.mountPoint));
    for (auto it = properties.cbegin(); it != properties.cend(); ++it) block.insert(it.key(), it.value());
    return AddBlock(QString::fromStdString(disk.name + std::to_string(number)), DriveName(disk), block);
}

QString MockUDisks2::DriveName(const MockDisk& disk) {
    return QString::fromStdString(disk.serialShort.empty() ? disk.name : disk.serialShort);
}

QString MockUDisks2::AddBlock(const QString& name, const QString& drive, const QVariantMap& properties) {
    return ObjectOf(
        Call(qt::udisks2::kManagerPath, kTest, QStringLiteral("AddBlock"), {name, drive, properties}));
}

void MockUDisks2::Remove(const QString& path) {
    Call(qt::udisks2::kManagerPath, kMock, QStringLiteral("RemoveObject"), {path});
}

QVariant MockUDisks2::Property(const QString& path, const char* name, const QString& interface) {
    const QDBusMessage reply =
        Call(path, qt::udisks2::kProperties, QStringLiteral("Get"), {interface, QString::fromLatin1(name)});
    if (reply.arguments().isEmpty()) return {};
    return qvariant_cast<QDBusVariant>(reply.arguments().constFirst()).variant();
}

int MockUDisks2::Calls(const QString& path, const char* method) {
    const QDBusMessage reply =
        Call(path, kMock, QStringLiteral("GetMethodCalls"), {QString::fromLatin1(method)});
    if (reply.arguments().isEmpty()) return -1;
    const auto calls = qvariant_cast<QDBusArgument>(reply.arguments().constFirst());
    int count = 0;
    calls.beginArray();
    while (!calls.atEnd()) {
        calls.beginStructure();
        qulonglong time = 0;
        QDBusVariant arguments;
        calls >> time;
        QVariantList ignored;
        calls >> ignored;
        calls.endStructure();
        ++count;
    }
    calls.endArray();
    return count;
}

void MockUDisks2::FailFormat(const QString& path, const QString& message) {
    Call(path, kMock, QStringLiteral("AddMethod"),
         {qt::udisks2::kBlock, QStringLiteral("Format"), QStringLiteral("sa{sv}"), QString(),
          QStringLiteral(
              "raise dbus.exceptions.DBusException('%1', name='org.freedesktop.UDisks2.Error.Failed')")
              .arg(message)});
}

}  // namespace vocell::test
