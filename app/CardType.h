#pragma once
// The card type, named from the card's capacity.

#include <cstdint>
#include <string_view>

namespace vocell {

inline constexpr std::uint64_t kBytesPerMegabyte = 1'000'000;
inline constexpr std::uint64_t kEightHourSmallestMB = 115;
inline constexpr std::uint64_t kEightHourLargestMB = 140;

// Capacity in decimal megabytes, truncated.
constexpr std::uint64_t CapacityInMegabytes(std::uint64_t capacityBytes) {
    return capacityBytes / kBytesPerMegabyte;
}

std::string_view CardTypeText(std::uint64_t capacityMB);

}  // namespace vocell
