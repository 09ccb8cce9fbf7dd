#include "platform/linux/drives/FileSystemProbe.h"

#include <blkid/blkid.h>
#include <fcntl.h>

#include <memory>

#include "platform/linux/files/UniqueFd.h"

namespace vocell::linux_drives {
namespace {

struct ProbeRelease {
    void operator()(blkid_struct_probe* probe) const { blkid_free_probe(probe); }
};
using ProbePtr = std::unique_ptr<blkid_struct_probe, ProbeRelease>;

// What blkid_do_safeprobe returns.
constexpr int kFound = 0;
constexpr int kNothingFound = 1;
constexpr int kAmbiguous = -2;

std::string Value(blkid_probe probe, const char* name) {
    const char* value = nullptr;
    return blkid_probe_lookup_value(probe, name, &value, nullptr) == 0 && value != nullptr ? value : "";
}

}  // namespace

std::optional<ProbedFileSystem> ProbeFileSystem(int fd) {
    ProbePtr probe(blkid_new_probe());
    if (!probe || blkid_probe_set_device(probe.get(), fd, 0, 0) != 0) return std::nullopt;
    blkid_probe_enable_superblocks(probe.get(), 1);
    blkid_probe_set_superblocks_flags(probe.get(),
                                      BLKID_SUBLKS_TYPE | BLKID_SUBLKS_UUID | BLKID_SUBLKS_LABEL);
    switch (blkid_do_safeprobe(probe.get())) {
        case kFound:
            return ProbedFileSystem{Value(probe.get(), "TYPE"), Value(probe.get(), "UUID"),
                                    Value(probe.get(), "LABEL")};
        case kNothingFound:
        case kAmbiguous: return ProbedFileSystem{};  // signatures of more than one: none to trust
        default: return std::nullopt;
    }
}

std::optional<ProbedFileSystem> ProbeFileSystemAt(const std::string& devNode) {
    posix::UniqueFd fd(::open(devNode.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) return std::nullopt;
    return ProbeFileSystem(fd.get());
}

}  // namespace vocell::linux_drives
