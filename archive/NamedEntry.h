#pragma once

#include <string>

namespace vocell::archive {

// A folder or file that a backup or an extraction names in its report: left out, not written,
// or written but not as stored, with the reason.
struct NamedEntry {
    std::string path;
    std::string reason;
    bool operator==(const NamedEntry&) const = default;
};

}  // namespace vocell::archive
