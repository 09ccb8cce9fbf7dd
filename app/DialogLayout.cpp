#include "app/DialogLayout.h"

namespace vocell {

Rect StatusBarArea(const Rect& window) {
    return {window.left, window.bottom - kStatusBarHeight, window.right, window.bottom};
}

std::vector<int> StatusPaneEdges(int windowWidth) { return {windowWidth / 4, (windowWidth / 3) * 3}; }

Rect ProgressBarArea(const Rect& client) {
    const int width = client.width();
    const int height = client.height();
    // 0.26, 0.95 and 0.999 of the size, each product cut toward zero.
    return {width * 26 / 100, height * 95 / 100, width * 999 / 1000, height * 999 / 1000};
}

}  // namespace vocell
