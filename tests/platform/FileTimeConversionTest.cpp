#include "platform/linux/files/FileTimeConversion.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <utility>

namespace vocell::posix {
namespace {

constexpr std::uint64_t kYear2000 = 125911584000000000ULL;  // 2000-01-01 00:00:00 UTC

// Seconds and nanoseconds of the time the ticks stand for.
std::pair<std::int64_t, long> SecondsAndNanoseconds(std::uint64_t ticks) {
    const timespec time = TimespecFromFileTime(ticks);
    return {time.tv_sec, time.tv_nsec};
}

TEST(FileTimeConversionTest, UnixTimesMapToTicksSince1601) {
    EXPECT_EQ(FileTimeFromUnix(0, 0), kUnixEpochFileTime);
    EXPECT_EQ(FileTimeFromUnix(946684800, 0), kYear2000);
    EXPECT_EQ(FileTimeFromUnix(946684800, 123456789), kYear2000 + 1234567);  // below 100 ns cut

    EXPECT_EQ(FileTimeFromTimespec(timespec{946684800, 500}), kYear2000 + 5);
}

TEST(FileTimeConversionTest, TicksMapBackToSecondsAndNanoseconds) {
    EXPECT_EQ(SecondsAndNanoseconds(kYear2000 + 1234567),
              std::make_pair(std::int64_t{946684800}, 123456700L));
    EXPECT_EQ(SecondsAndNanoseconds(kUnixEpochFileTime + 1), std::make_pair(std::int64_t{0}, 100L));

    for (std::uint64_t ticks : {kYear2000, kYear2000 + 9999999, kUnixEpochFileTime + 10000000}) {
        EXPECT_EQ(FileTimeFromTimespec(TimespecFromFileTime(ticks)), ticks);
    }
}

TEST(FileTimeConversionTest, TimesBefore1970ClampToTheUnixEpoch) {
    EXPECT_EQ(FileTimeFromUnix(-1, 999999999), kUnixEpochFileTime);
    EXPECT_EQ(FileTimeFromUnix(std::numeric_limits<std::int64_t>::min(), 0), kUnixEpochFileTime);
    for (std::uint64_t ticks : {std::uint64_t{1}, kUnixEpochFileTime - 1, kUnixEpochFileTime}) {
        EXPECT_EQ(SecondsAndNanoseconds(ticks), std::make_pair(std::int64_t{0}, 0L));
    }
}

TEST(FileTimeConversionTest, ExtremeValuesClampWithoutOverflow) {
    constexpr auto maxTicks = std::numeric_limits<std::uint64_t>::max();
    EXPECT_EQ(FileTimeFromUnix(std::numeric_limits<std::int64_t>::max(), 999999999), maxTicks);
    // Nanoseconds outside a second are kept inside it.
    EXPECT_EQ(FileTimeFromUnix(0, 5'000'000'000), kUnixEpochFileTime + 9999999);
    EXPECT_EQ(FileTimeFromUnix(0, -7), kUnixEpochFileTime);

    const timespec latest = TimespecFromFileTime(maxTicks);
    EXPECT_GT(latest.tv_sec, 0);
    EXPECT_GE(latest.tv_nsec, 0);
    EXPECT_LT(latest.tv_nsec, 1'000'000'000);
    EXPECT_EQ(FileTimeFromTimespec(latest), maxTicks);

    constexpr std::uint64_t nearTheTop = maxTicks - 20'000'000;
    EXPECT_EQ(FileTimeFromTimespec(TimespecFromFileTime(nearTheTop)), nearTheTop);
}

}  // namespace
}  // namespace vocell::posix
