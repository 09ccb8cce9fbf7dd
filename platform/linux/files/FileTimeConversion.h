#pragma once
// FILETIME (100-nanosecond ticks since 1601-01-01 UTC) to and from Unix time. The card's
// times never lie before 1970, so earlier times clamp to the Unix epoch; times too large for
// the target type clamp to its largest value.

#include <time.h>

#include <cstdint>
#include <limits>

#include "platform/FileSystem.h"

namespace vocell::posix {

inline constexpr std::uint64_t kNanosecondsPerTick = 100ULL;
inline constexpr std::int64_t kNanosecondsPerSecond = 1'000'000'000LL;

inline std::uint64_t FileTimeFromUnix(std::int64_t seconds, std::int64_t nanoseconds) {
    if (seconds < 0) {
        return kUnixEpochFileTime;
    }
    if (nanoseconds < 0) {
        nanoseconds = 0;
    } else if (nanoseconds >= kNanosecondsPerSecond) {
        nanoseconds = kNanosecondsPerSecond - 1;
    }
    constexpr std::uint64_t maxSeconds =
        (std::numeric_limits<std::uint64_t>::max() - kUnixEpochFileTime) / kFileTimeTicksPerSecond - 1;
    const auto wholeSeconds = static_cast<std::uint64_t>(seconds);
    if (wholeSeconds > maxSeconds) {
        return std::numeric_limits<std::uint64_t>::max();
    }
    return kUnixEpochFileTime + wholeSeconds * kFileTimeTicksPerSecond +
           static_cast<std::uint64_t>(nanoseconds) / kNanosecondsPerTick;
}

inline std::uint64_t FileTimeFromTimespec(const timespec& time) {
    return FileTimeFromUnix(static_cast<std::int64_t>(time.tv_sec), static_cast<std::int64_t>(time.tv_nsec));
}

inline timespec TimespecFromFileTime(std::uint64_t fileTime) {
    timespec result{};
    if (fileTime <= kUnixEpochFileTime) {
        return result;
    }
    const std::uint64_t sinceEpoch = fileTime - kUnixEpochFileTime;
    const std::uint64_t seconds = sinceEpoch / kFileTimeTicksPerSecond;
    constexpr auto maxSeconds = static_cast<std::uint64_t>(std::numeric_limits<time_t>::max());
    if (seconds > maxSeconds) {
        result.tv_sec = std::numeric_limits<time_t>::max();
        result.tv_nsec = kNanosecondsPerSecond - 1;
        return result;
    }
    result.tv_sec = static_cast<time_t>(seconds);
    result.tv_nsec =
        static_cast<decltype(result.tv_nsec)>((sinceEpoch % kFileTimeTicksPerSecond) * kNanosecondsPerTick);
    return result;
}

}  // namespace vocell::posix
