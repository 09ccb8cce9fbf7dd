#pragma once
// What the UDisks2 disk service judges of the machine's block devices, for drive discovery: the
// devices it marks as the system's (HintSystem) or to be ignored (HintIgnore). Where the service
// is not on the bus there is no judgement, and discovery goes on without it.

#include <sys/types.h>

#include <QDBusConnection>
#include <vector>

namespace vocell::qt {

class UDisks2Judgement {
public:
    // Discovery waits this long for the service at most.
    static constexpr int kTimeoutMs = 5'000;

    explicit UDisks2Judgement(QDBusConnection bus);

    // The numbers of the block devices the service marks; empty without the service.
    [[nodiscard]] std::vector<dev_t> SystemDevices() const;

private:
    QDBusConnection bus_;
};

}  // namespace vocell::qt
