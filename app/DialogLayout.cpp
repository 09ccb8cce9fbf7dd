#include "app/DialogLayout.h"

namespace vocell {

Rect StatusBarArea(const Rect& window) {
    return {window.left, window.bottom - kStatusBarHeight, window.right, window.bottom};
}

std::vector<int> StatusPaneEdges(int windowWidth) { return {windowWidth / 4, (windowWidth / 3) * 3}; }

}  // namespace vocell
