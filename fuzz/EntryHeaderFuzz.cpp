// The entry-header decoder on any block: decoding never fails, and a block the strict test finds
// well formed encodes back to a block that decodes to the same entry.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "archive/EntryHeader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vocell::archive;
    Block block{};
    std::memcpy(block.data(), data, std::min(size, block.size()));
    const EntryHeader decoded = DecodeEntryHeader(block);
    if (decoded.storedPath.size() > kMaxStoredPath) std::abort();
    if (!IsEntryHeader(block) || FindHeaderDamage(block)) return 0;

    const Block encoded = EncodeEntryHeader(decoded);
    if (!IsEntryHeader(encoded) || FindHeaderDamage(encoded)) std::abort();
    const EntryHeader again = DecodeEntryHeader(encoded);
    if (again.storedPath != decoded.storedPath || again.attributes != decoded.attributes ||
        !(again.times == decoded.times)) {
        std::abort();
    }
    return 0;
}
