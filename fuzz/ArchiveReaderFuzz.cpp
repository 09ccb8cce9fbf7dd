// Feeds arbitrary bytes to the archive readers that need no card: the scanner with the content of
// every file, and the validation every archive passes before it may touch a card. Both must read
// the same archive the same way.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "archive/ArchiveCheck.h"
#include "archive/ArchiveScanner.h"
#include "fuzz/MemoryReader.h"

namespace {

using namespace vocell;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::MemoryReader reader(data, size);
    archive::ArchiveScanner scanner(reader, size);
    std::uint64_t contentBytes = 0;
    if (scanner.ReadArchiveHeader()) {
        while (scanner.NextEntry()) {
            if (scanner.entry().kind != archive::EntryKind::File) continue;
            static_cast<void>(scanner.ReadContent([&](std::span<const char> piece) {
                contentBytes += piece.size();
                return true;
            }));
        }
    }
    // No entry can hand on more content than the archive holds, and nothing is read past its end.
    if (contentBytes > size || scanner.consumed() > size) std::abort();

    fuzz::MemoryReader again(data, size);
    const bool damaged = archive::ValidateArchive(again, size).has_value();
    if (damaged != scanner.problem().has_value()) std::abort();
    return 0;
}
