#pragma once
// Paces what a long operation draws: a card holds thousands of small files, and drawing the
// window for each would cost many times more than storing it. The panes, the progress and the
// window's answers to the system come about 30 times a second; what is shown is the newest.

#include <chrono>
#include <functional>
#include <utility>

namespace vocell::operations {

class ScreenPacer {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    static constexpr std::chrono::milliseconds kInterval{33};

    explicit ScreenPacer(Clock clock = [] { return std::chrono::steady_clock::now(); })
        : clock_(std::move(clock)) {}

    // True the first time, then once an interval has passed since it last was.
    [[nodiscard]] bool Due() {
        const auto now = clock_();
        if (started_ && now - last_ < kInterval) return false;
        started_ = true;
        last_ = now;
        return true;
    }

private:
    Clock clock_;
    bool started_ = false;
    std::chrono::steady_clock::time_point last_{};
};

}  // namespace vocell::operations
