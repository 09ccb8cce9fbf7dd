#include "platform/linux/format/UDisks2Judgement.h"

#include <QDBusConnectionInterface>

#include "platform/linux/format/UDisks2Names.h"
#include "platform/linux/format/UDisks2Objects.h"

namespace vocell::qt {

UDisks2Judgement::UDisks2Judgement(QDBusConnection bus) : bus_(std::move(bus)) {}

std::vector<dev_t> UDisks2Judgement::SystemDevices() const {
    std::vector<dev_t> marked;
    // Asking only a service that runs: a call would otherwise start it, or wait for it.
    if (!bus_.isConnected() || bus_.interface() == nullptr ||
        !bus_.interface()->isServiceRegistered(udisks2::kService)) {
        return marked;
    }
    std::string error;
    const auto objects = UDisks2Objects::Read(bus_, kTimeoutMs, error);
    if (!objects) return marked;
    for (const QString& block : objects->Blocks()) {
        if (objects->BoolProperty(block, udisks2::kBlock, QStringLiteral("HintSystem")) ||
            objects->BoolProperty(block, udisks2::kBlock, QStringLiteral("HintIgnore"))) {
            marked.push_back(static_cast<dev_t>(
                objects->NumberProperty(block, udisks2::kBlock, QStringLiteral("DeviceNumber"))));
        }
    }
    return marked;
}

}  // namespace vocell::qt
