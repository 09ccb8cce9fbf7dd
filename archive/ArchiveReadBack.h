#pragma once
// Reads an archive back from its drive's medium, and does so while the archive is still being
// written where the platform can say which part of it is on the medium already: each piece, once
// there, is let go from memory and asked for again, and read and checked a piece later, so that
// the medium's reading overlaps with the writing of what follows.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "archive/StreamChecksum.h"
#include "platform/FileSystem.h"

namespace vocell::archive {

// What was read back: the checksum of its bytes and their number.
struct ReadBackDigest {
    std::uint64_t checksum = 0;
    std::uint64_t length = 0;
    bool operator==(const ReadBackDigest&) const = default;
};

class ArchiveReadBack {
public:
    // Opens the file being written for reading from the medium.
    using OpenReader = std::function<FsResult<std::unique_ptr<FileReader>>()>;

    ArchiveReadBack(FileWriter& writer, OpenReader open);

    // The file has been handed total bytes so far.
    void Written(std::uint64_t total);
    // What the file was handed is no longer what it holds (an entry was dropped after it had
    // been written): it is read back whole at the end.
    void Restart() { overlapping_ = false; }
    // Called at every piece read.
    void WhileReading(std::function<void()> eachPiece) { eachPiece_ = std::move(eachPiece); }
    // Once the file is flushed and closed: reads what is left; nothing when the medium could not
    // be read.
    std::optional<ReadBackDigest> Finish(std::uint64_t total);

    // How the reading runs, for the benchmarks and tests: the pieces read while the file was
    // still being written.
    [[nodiscard]] std::uint64_t piecesReadEarly() const { return piecesReadEarly_; }

    // A piece: asked for again from the medium a piece before it is read.
    static constexpr std::uint64_t kPiece = 4 * 1024 * 1024;
    // How far behind the writer the reading stays, past the writer's own write-back.
    static constexpr std::uint64_t kLag = 16 * 1024 * 1024;

private:
    std::optional<ReadBackDigest> ReadTheRest(std::uint64_t total);
    bool ReadUpTo(std::uint64_t end);

    FileWriter& writer_;
    OpenReader open_;
    std::function<void()> eachPiece_;
    std::unique_ptr<FileReader> reader_;
    bool overlapping_ = true;
    bool failed_ = false;
    std::uint64_t requested_ = 0;  // asked for again from the medium up to here
    std::uint64_t read_ = 0;       // read and checked up to here
    std::uint64_t piecesReadEarly_ = 0;
    StreamChecksum checksum_;
    std::vector<char> buffer_;
};

}  // namespace vocell::archive
