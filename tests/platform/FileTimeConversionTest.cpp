#include "platform/posix/FileTimeConversion.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace vocell::posix {
namespace {

constexpr std::uint64_t kYear2000 = 125911584000000000ULL;  // 2000-01-01 00:00:00 UTC

TEST(FileTimeConversionTest, UnixTimesMapToTicksSince1601) {
    EXPECT_EQ(FileTimeFromUnix(0, 0), kUnixEpochFileTime);
    EXPECT_EQ(FileTimeFromUnix(946684800, 0), kYear2000);
    EXPECT_EQ(FileTimeFromUnix(946684800, 123456789), kYear2000 + 1234567);  // below 100 ns cut

    timespec time{};
    time.tv_sec = 946684800;
    time.tv_nsec = 500;
    EXPECT_EQ(FileTimeFromTimespec(time), kYear2000 + 5);
}

TEST(FileTimeConversionTest, TicksMapBackToSecondsAndNanoseconds) {
    const timespec year2000 = TimespecFromFileTime(kYear2000 + 1234567);
    EXPECT_EQ(year2000.tv_sec, 946684800);
    EXPECT_EQ(year2000.tv_nsec, 123456700);

    const timespec epochPlusOneTick = TimespecFromFileTime(kUnixEpochFileTime + 1);
    EXPECT_EQ(epochPlusOneTick.tv_sec, 0);
    EXPECT_EQ(epochPlusOneTick.tv_nsec, 100);

    for (std::uint64_t ticks : {kYear2000, kYear2000 + 9999999, kUnixEpochFileTime + 10000000}) {
        EXPECT_EQ(FileTimeFromTimespec(TimespecFromFileTime(ticks)), ticks);
    }
}

TEST(FileTimeConversionTest, TimesBefore1970ClampToTheUnixEpoch) {
    EXPECT_EQ(FileTimeFromUnix(-1, 999999999), kUnixEpochFileTime);
    EXPECT_EQ(FileTimeFromUnix(std::numeric_limits<std::int64_t>::min(), 0), kUnixEpochFileTime);
    for (std::uint64_t ticks : {std::uint64_t{1}, kUnixEpochFileTime - 1, kUnixEpochFileTime}) {
        const timespec clamped = TimespecFromFileTime(ticks);
        EXPECT_EQ(clamped.tv_sec, 0);
        EXPECT_EQ(clamped.tv_nsec, 0);
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
