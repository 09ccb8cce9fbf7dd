#include "app/DialogLayout.h"

namespace vocell {

int ScaleForDpi(int pixels, int dpi) {
    // Rounded half away from zero, as MulDiv rounds.
    const long long scaled = 2LL * pixels * dpi;
    const long long divisor = 2LL * kDefaultDpi;
    return static_cast<int>(scaled >= 0 ? (scaled + kDefaultDpi) / divisor
                                        : (scaled - kDefaultDpi) / divisor);
}

int StatusBarHeight(int dpi) { return ScaleForDpi(kStatusBarHeight, dpi); }

Rect StatusBarArea(const Rect& window, int dpi) {
    return {window.left, window.bottom - StatusBarHeight(dpi), window.right, window.bottom};
}

std::vector<int> StatusPaneEdges(int windowWidth) { return {windowWidth / 4, (windowWidth / 3) * 3}; }

Rect ProgressBarArea(const Rect& client) {
    const int width = client.width();
    const int height = client.height();
    // 0.26, 0.95 and 0.999 of the size, each product cut toward zero.
    return {width * 26 / 100, height * 95 / 100, width * 999 / 1000, height * 999 / 1000};
}

}  // namespace vocell
