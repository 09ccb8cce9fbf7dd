#pragma once
// How far a long step has come, in words a person reads beside the progress bar: the bytes done
// and the total, and the time left once the pace so far can tell it, after a second or once a
// twentieth of the work is done, whichever comes first.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "operations/ScreenPacer.h"

namespace vocell::operations {

// "1 byte", "512 bytes", "1.0 KB", "12.4 MB", "2.0 GB": Windows' units of 1,024 bytes, with one
// decimal, each unit from the first size that rounds to one of it.
std::string SizeText(std::uint64_t bytes);
// "5 s" under a minute, "3 min" under an hour, "2 h 5 min" beyond.
std::string DurationText(std::chrono::seconds duration);

class ProgressEstimate {
public:
    using Clock = ScreenPacer::Clock;
    static constexpr std::chrono::seconds kEstimateAfter{1};
    static constexpr std::uint64_t kEstimateAtPercent = 5;

    // Work of total bytes starts now, by clock; doneWord follows the sizes in the reading
    // (text::kProgressWritten: "12.4 MB of 128.0 MB written").
    ProgressEstimate(std::uint64_t total, std::string_view doneWord, Clock clock);

    [[nodiscard]] std::uint64_t total() const { return total_; }
    // The time left with done bytes of the work done, at the rate so far; nothing before it can
    // be told, and nothing once the work is done.
    [[nodiscard]] std::optional<std::chrono::seconds> TimeLeft(std::uint64_t done) const;
    // "12.4 MB of 128.0 MB written, about 5 s left"; without the time while it cannot be told.
    [[nodiscard]] std::string Reading(std::uint64_t done) const;

private:
    std::uint64_t total_;
    std::string_view doneWord_;
    Clock clock_;
    std::chrono::steady_clock::time_point start_;
};

}  // namespace vocell::operations
