#pragma once
// Deterministic pseudo-random bytes for generated card files: a splitmix64 sequence from a fixed
// seed, so that every run writes the same tree and no file compresses to nothing.

#include <cstddef>
#include <cstdint>
#include <span>

namespace vocell::bench {

class PseudoRandomBytes {
public:
    explicit PseudoRandomBytes(std::uint64_t seed) : state_(seed) {}

    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    // A number in [low, high].
    std::uint64_t Between(std::uint64_t low, std::uint64_t high) { return low + Next() % (high - low + 1); }

    void Fill(std::span<char> bytes) {
        std::size_t i = 0;
        while (i < bytes.size()) {
            std::uint64_t word = Next();
            for (int k = 0; k < 8 && i < bytes.size(); ++k, ++i) {
                bytes[i] = static_cast<char>(word & 0xFF);
                word >>= 8;
            }
        }
    }

private:
    std::uint64_t state_;
};

}  // namespace vocell::bench
