#include "operations/ProgressEstimate.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "common/Messages.h"

namespace vocell::operations {
namespace {

constexpr std::uint64_t kUnit = 1024;
constexpr std::int64_t kSecondsPerMinute = 60;
constexpr std::int64_t kMinutesPerHour = 60;

// Tenths of a unit of unitBytes, rounded to the nearest.
std::uint64_t TenthsOf(std::uint64_t bytes, std::uint64_t unitBytes) {
    constexpr double kTenths = 10.0;
    return static_cast<std::uint64_t>(
        std::llround(static_cast<double>(bytes) * kTenths / static_cast<double>(unitBytes)));
}

}  // namespace

std::string SizeText(std::uint64_t bytes) {
    if (bytes < kUnit) return std::to_string(bytes) + std::string(bytes == 1 ? text::kByte : text::kBytes);
    static constexpr std::array<std::string_view, 4> kUnits = {text::kKilobytes, text::kMegabytes,
                                                               text::kGigabytes, text::kTerabytes};
    constexpr std::uint64_t kNextUnitAt = kUnit * 10;  // tenths
    std::size_t unit = 0;
    std::uint64_t unitBytes = kUnit;
    std::uint64_t tenths = TenthsOf(bytes, unitBytes);
    // 1,048,575 bytes are "1.0 MB", not "1024.0 KB".
    while (tenths >= kNextUnitAt && unit + 1 < kUnits.size()) {
        ++unit;
        unitBytes *= kUnit;
        tenths = TenthsOf(bytes, unitBytes);
    }
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + std::string(kUnits[unit]);
}

std::string DurationText(std::chrono::seconds duration) {
    const std::int64_t seconds = std::max<std::int64_t>(0, duration.count());
    if (seconds < kSecondsPerMinute) return std::to_string(seconds) + std::string(text::kSeconds);
    const std::int64_t minutes = (seconds + kSecondsPerMinute / 2) / kSecondsPerMinute;
    if (minutes < kMinutesPerHour) return std::to_string(minutes) + std::string(text::kMinutes);
    return std::to_string(minutes / kMinutesPerHour) + std::string(text::kHours) + " " +
           std::to_string(minutes % kMinutesPerHour) + std::string(text::kMinutes);
}

ProgressEstimate::ProgressEstimate(std::uint64_t total, std::string_view doneWord, Clock clock)
    : total_(total), doneWord_(doneWord), clock_(std::move(clock)), start_(clock_()) {}

std::optional<std::chrono::seconds> ProgressEstimate::TimeLeft(std::uint64_t done) const {
    done = std::min(done, total_);
    if (done == 0 || done == total_) return std::nullopt;
    const auto elapsed = clock_() - start_;
    if (elapsed <= std::chrono::steady_clock::duration::zero()) return std::nullopt;
    if (elapsed < kEstimateAfter && done * 100 < total_ * kEstimateAtPercent) return std::nullopt;
    const double secondsSoFar = std::chrono::duration<double>(elapsed).count();
    const double secondsLeft = secondsSoFar * static_cast<double>(total_ - done) / static_cast<double>(done);
    return std::chrono::seconds(static_cast<std::int64_t>(std::ceil(secondsLeft)));
}

std::string ProgressEstimate::Reading(std::uint64_t done) const {
    std::string reading = SizeText(std::min(done, total_)) + std::string(text::kProgressOf) +
                          SizeText(total_) + std::string(doneWord_);
    if (auto left = TimeLeft(done)) {
        reading += std::string(text::kProgressAbout) + DurationText(*left) + std::string(text::kProgressLeft);
    }
    return reading;
}

}  // namespace vocell::operations
