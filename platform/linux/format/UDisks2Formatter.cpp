#include "platform/linux/format/UDisks2Formatter.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <algorithm>
#include <optional>

#include "common/Messages.h"
#include "platform/linux/format/UDisks2Names.h"
#include "platform/linux/format/UDisks2Objects.h"

namespace vocell::qt {
namespace {

constexpr int kQueryTimeoutMs = 25'000;

std::string Text(const std::string& a, std::string_view b, const std::string& c = {}) {
    return a + std::string(b) + c;
}

// Whether the block object holds the target's medium: its file system's serial and label, its
// size, its partition's number, and the reader its drive names.
enum class Match { Same, Other, Unknown };

Match MediumOf(const UDisks2Objects& objects, const QString& block, const FormatTarget& target) {
    const MediumIdentity& medium = target.medium;
    const bool sameVolume =
        objects.StringProperty(block, udisks2::kBlock, QStringLiteral("IdUUID")).toStdString() ==
            medium.volumeSerial &&
        objects.StringProperty(block, udisks2::kBlock, QStringLiteral("IdLabel")).toStdString() ==
            medium.label &&
        objects.NumberProperty(block, udisks2::kBlock, QStringLiteral("Size")) == medium.capacityBytes;
    const bool isPartition = objects.Has(block, udisks2::kPartition);
    const bool samePartition =
        target.partition.empty()
            ? !isPartition
            : isPartition && std::to_string(objects.NumberProperty(
                                 block, udisks2::kPartition, QStringLiteral("Number"))) == target.partition;
    if (!sameVolume || !samePartition) return Match::Other;
    const QString drive = objects.ObjectProperty(block, udisks2::kBlock, QStringLiteral("Drive"));
    const std::string serial =
        objects.StringProperty(drive, udisks2::kDrive, QStringLiteral("Serial")).toStdString();
    if (serial.empty()) return Match::Unknown;  // a reader the service cannot name
    const auto& serials = target.readerSerials;
    return std::find(serials.begin(), serials.end(), serial) != serials.end() ? Match::Same : Match::Other;
}

bool RemovableAndNotTheSystems(const UDisks2Objects& objects, const QString& block) {
    const QString drive = objects.ObjectProperty(block, udisks2::kBlock, QStringLiteral("Drive"));
    const bool removable =
        !drive.isEmpty() && (objects.BoolProperty(drive, udisks2::kDrive, QStringLiteral("Removable")) ||
                             objects.BoolProperty(drive, udisks2::kDrive, QStringLiteral("MediaRemovable")));
    return removable && !objects.BoolProperty(block, udisks2::kBlock, QStringLiteral("HintSystem"));
}

std::optional<std::string> Failure(const QDBusMessage& reply) {
    if (reply.type() == QDBusMessage::ReplyMessage) return std::nullopt;
    return reply.errorMessage().isEmpty() ? reply.errorName().toStdString()
                                          : reply.errorMessage().toStdString();
}

}  // namespace

UDisks2Formatter::UDisks2Formatter(QDBusConnection bus) : bus_(std::move(bus)) {}

bool UDisks2Formatter::available() const {
    return bus_.isConnected() && bus_.interface() != nullptr &&
           bus_.interface()->isServiceRegistered(udisks2::kService);
}

QDBusMessage UDisks2Formatter::Call(const QString& block, const QString& interface, const QString& method,
                                    const QVariantList& arguments, int timeoutMs) {
    QDBusMessage message = QDBusMessage::createMethodCall(udisks2::kService, block, interface, method);
    message.setArguments(arguments);
    message.setInteractiveAuthorizationAllowed(true);
    return bus_.call(message, QDBus::Block, timeoutMs);
}

// The target's block object as the service shows it now, found by the device's number and node,
// when the service may format it; else why not.
std::optional<QString> UDisks2Formatter::AllowedBlock(const FormatTarget& target, FormatResult& refusal,
                                                      std::optional<UDisks2Objects>& objects) {
    std::string error;
    objects = UDisks2Objects::Read(bus_, kQueryTimeoutMs, error);
    auto block = objects ? objects->BlockOf(target.deviceNumber, target.devNode) : std::nullopt;
    if (!block) {
        refusal = FormatResult::Failed(
            Text(target.deviceText, text::format::kNotFoundByUDisks, objects ? target.devNode : error));
        return std::nullopt;
    }
    if (!RemovableAndNotTheSystems(*objects, *block)) {
        refusal = FormatResult::Failed(Text(target.deviceText, text::format::kNotRemovable));
        return std::nullopt;
    }
    return block;
}

// The block object, asked afresh, when it still holds the target's medium.
std::optional<UDisks2Formatter::Block> UDisks2Formatter::CheckedBlock(const FormatTarget& target,
                                                                      FormatResult& refusal) {
    std::optional<UDisks2Objects> objects;
    const auto block = AllowedBlock(target, refusal, objects);
    if (!block) return std::nullopt;
    switch (MediumOf(*objects, *block, target)) {
        case Match::Same: {
            const QVariant mounts =
                objects->Property(*block, udisks2::kFilesystem, QStringLiteral("MountPoints"));
            return Block{*block, !qdbus_cast<QList<QByteArray>>(mounts).isEmpty()};
        }
        case Match::Other: refusal = FormatResult::Failed(std::string(text::kPleaseSelectDevice)); break;
        case Match::Unknown:
            refusal = FormatResult::Failed(Text(target.deviceText, text::format::kCannotCheckCard));
            break;
    }
    return std::nullopt;
}

FormatResult UDisks2Formatter::Check(const FormatTarget& target) {
    FormatResult refusal;
    std::optional<UDisks2Objects> objects;
    return AllowedBlock(target, refusal, objects) ? FormatResult::Done() : refusal;
}

FormatResult UDisks2Formatter::Format(const FormatTarget& target, const std::string& label) {
    // Asked again: the drives may have changed while our dialog was open.
    FormatResult refusal;
    const auto block = CheckedBlock(target, refusal);
    if (!block) return refusal;
    if (block->mounted) {
        if (auto error = Failure(Call(block->path, udisks2::kFilesystem, QStringLiteral("Unmount"),
                                      {QVariantMap()}, kQueryTimeoutMs))) {
            return FormatResult::Failed(std::string(text::format::kFormatFailed) + *error);
        }
    }
    // Once more immediately before the format, and the object checked is the object formatted.
    const auto checked = CheckedBlock(target, refusal);
    if (!checked) return refusal;
    if (checked->path != block->path) return FormatResult::Failed(std::string(text::kPleaseSelectDevice));
    const QVariantMap options{{QStringLiteral("label"), QString::fromStdString(label)},
                              {QStringLiteral("update-partition-type"), true}};
    const auto timeout = std::chrono::duration_cast<std::chrono::milliseconds>(kFormatTimeout);
    if (auto error = Failure(Call(checked->path, udisks2::kBlock, QStringLiteral("Format"),
                                  {QStringLiteral("vfat"), options}, static_cast<int>(timeout.count())))) {
        return FormatResult::Failed(std::string(text::format::kFormatFailed) + *error);
    }
    if (auto error = Failure(Call(checked->path, udisks2::kFilesystem, QStringLiteral("Mount"),
                                  {QVariantMap()}, kQueryTimeoutMs))) {
        return FormatResult::Failed(std::string(text::format::kMountFailed) + *error);
    }
    return FormatResult::Done();
}

}  // namespace vocell::qt
