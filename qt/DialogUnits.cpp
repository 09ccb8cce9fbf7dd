#include "qt/DialogUnits.h"

#include <QFontMetrics>

namespace vocell::qt {
namespace {

// The average width of the letters, rounded to the nearest pixel, as dialog templates measure it.
int AverageCharWidth(const QFontMetrics& metrics) {
    const int letters =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return (letters / 26 + 1) / 2;
}

// units * base / divisor, rounded to the nearest integer.
int Scale(int units, int base, int divisor) { return (2 * units * base + divisor) / (2 * divisor); }

}  // namespace

DialogUnits::DialogUnits(const QWidget& widget) : DialogUnits(QFontMetrics(widget.font(), &widget)) {}

// The character height is the font's ascent and descent, without its leading, as a template's is.
DialogUnits::DialogUnits(const QFontMetrics& metrics)
    : averageCharWidth_(AverageCharWidth(metrics)), charHeight_(metrics.height()) {}

int DialogUnits::ToPixelsX(int units) const { return Scale(units, averageCharWidth_, 4); }

int DialogUnits::ToPixelsY(int units) const { return Scale(units, charHeight_, 8); }

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const {
    const int left = ToPixelsX(x);
    const int top = ToPixelsY(y);
    return {left, top, ToPixelsX(x + width) - left, ToPixelsY(y + height) - top};
}

}  // namespace vocell::qt
