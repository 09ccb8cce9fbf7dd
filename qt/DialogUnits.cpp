#include "qt/DialogUnits.h"

#include <cmath>

namespace vocell::qt {
namespace {

// The average width of the letters, as dialog templates measure it.
double AverageCharWidth(const QFontMetricsF& metrics) {
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return metrics.horizontalAdvance(letters) / static_cast<double>(letters.size());
}

// units * base / divisor, rounded to the nearest pixel.
int Scale(int units, double base, int divisor) {
    return static_cast<int>(std::lround(units * base / divisor));
}

}  // namespace

DialogUnits::DialogUnits(const QWidget& widget) : DialogUnits(QFontMetricsF(widget.font(), &widget)) {}

// The character height is the font's ascent and descent, without its leading, as a template's is.
DialogUnits::DialogUnits(const QFontMetricsF& metrics)
    : averageCharWidth_(AverageCharWidth(metrics)), charHeight_(metrics.height()) {}

int DialogUnits::ToPixelsX(int units) const { return Scale(units, averageCharWidth_, kUnitsPerCharWidth); }

int DialogUnits::ToPixelsY(int units) const { return Scale(units, charHeight_, kUnitsPerCharHeight); }

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const {
    const int left = ToPixelsX(x);
    const int top = ToPixelsY(y);
    return {left, top, ToPixelsX(x + width) - left, ToPixelsY(y + height) - top};
}

}  // namespace vocell::qt
