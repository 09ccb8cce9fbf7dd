#include "archive/ContentComparison.h"

#include <algorithm>
#include <cstring>

namespace vocell::archive {

bool ContentMatchesFile(ArchiveScanner& scanner, FileReader& file, std::vector<char>& buffer,
                        const std::function<void()>& eachPiece) {
    auto size = file.Size();
    bool same = size.ok();
    std::uint64_t compared = 0;
    std::size_t held = 0;  // bytes of the file in buffer
    std::size_t used = 0;  // of which compared
    static_cast<void>(scanner.ReadContent([&](std::span<const char> piece) {
        while (same && !piece.empty()) {
            if (used == held) {
                auto read = file.Read(std::as_writable_bytes(std::span<char>(buffer)));
                same = read.ok() && read.value() > 0;
                held = same ? read.value() : 0;
                used = 0;
                if (eachPiece) eachPiece();
                continue;
            }
            const std::size_t length = std::min(piece.size(), held - used);
            same = std::memcmp(piece.data(), buffer.data() + used, length) == 0;
            used += length;
            compared += length;
            piece = piece.subspan(length);
        }
        return true;
    }));
    return same && compared == size.value();
}

}  // namespace vocell::archive
