#pragma once
// Dialog units: the coordinates of a dialog template, scaled by the dialog font. One horizontal
// unit is a quarter of the font's average character width, one vertical unit an eighth of its
// character height, so a template keeps its proportions whatever font the desktop uses and at
// whatever size: a larger desktop font, or a screen of more dots per inch, makes the whole dialog
// larger with its text.

#include <QFontMetricsF>
#include <QRect>
#include <QWidget>

namespace vocell::qt {

class DialogUnits {
public:
    static constexpr int kUnitsPerCharWidth = 4;
    static constexpr int kUnitsPerCharHeight = 8;

    // The units of the font the widget draws its text with, as it is measured on the widget's
    // screen: the font the desktop gives it, or the one it was given, to the fraction of a pixel,
    // so that the units grow exactly with its text.
    explicit DialogUnits(const QWidget& widget);
    explicit DialogUnits(const QFontMetricsF& metrics);
    DialogUnits(double averageCharWidth, double charHeight)
        : averageCharWidth_(averageCharWidth), charHeight_(charHeight) {}

    [[nodiscard]] double averageCharWidth() const { return averageCharWidth_; }
    [[nodiscard]] double charHeight() const { return charHeight_; }
    // The same units with the horizontal ones wider by the factor.
    [[nodiscard]] DialogUnits Widened(double factor) const {
        return {averageCharWidth_ * factor, charHeight_};
    }
    [[nodiscard]] int ToPixelsX(int units) const;
    [[nodiscard]] int ToPixelsY(int units) const;
    [[nodiscard]] QRect ToPixels(int x, int y, int width, int height) const;

private:
    double averageCharWidth_;
    double charHeight_;
};

}  // namespace vocell::qt
