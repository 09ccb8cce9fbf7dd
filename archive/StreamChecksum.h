#pragma once
// A fast checksum of a stream of bytes (64-bit XXH3), fed piece by piece as they are written.

#include <cstdint>
#include <memory>
#include <span>

namespace vocell::archive {

class StreamChecksum {
public:
    StreamChecksum();
    ~StreamChecksum();
    StreamChecksum(const StreamChecksum&) = delete;
    StreamChecksum& operator=(const StreamChecksum&) = delete;

    void Update(std::span<const char> bytes);
    // Starts again, as for a stream with nothing in it.
    void Reset();
    // The checksum of every byte given since the start.
    [[nodiscard]] std::uint64_t digest() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace vocell::archive
