#include "archive/StreamChecksum.h"

#define XXH_INLINE_ALL
#include <xxhash.h>

namespace vocell::archive {

struct StreamChecksum::State {
    XXH3_state_t xxh3;
};

StreamChecksum::StreamChecksum() : state_(std::make_unique<State>()) { Reset(); }

StreamChecksum::~StreamChecksum() = default;

void StreamChecksum::Update(std::span<const char> bytes) {
    static_cast<void>(XXH3_64bits_update(&state_->xxh3, bytes.data(), bytes.size()));
}

void StreamChecksum::Reset() { static_cast<void>(XXH3_64bits_reset(&state_->xxh3)); }

std::uint64_t StreamChecksum::digest() const { return XXH3_64bits_digest(&state_->xxh3); }

}  // namespace vocell::archive
