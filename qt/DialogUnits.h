#pragma once
// Dialog units: the coordinates of a dialog template, scaled by the dialog font. One horizontal
// unit is a quarter of the font's average character width, one vertical unit an eighth of its
// character height, so a template keeps its proportions whatever font the desktop uses and at
// whatever size: a larger desktop font, or a screen of more dots per inch, makes the whole dialog
// larger with its text.

#include <QFontMetrics>
#include <QRect>
#include <QWidget>

namespace vocell::qt {

class DialogUnits {
public:
    // The units of the font the widget draws its text with, as it is measured on the widget's
    // screen: the font the desktop gives it, or the one it was given.
    explicit DialogUnits(const QWidget& widget);
    explicit DialogUnits(const QFontMetrics& metrics);
    DialogUnits(int averageCharWidth, int charHeight)
        : averageCharWidth_(averageCharWidth), charHeight_(charHeight) {}

    [[nodiscard]] int averageCharWidth() const { return averageCharWidth_; }
    [[nodiscard]] int charHeight() const { return charHeight_; }
    [[nodiscard]] int ToPixelsX(int units) const;
    [[nodiscard]] int ToPixelsY(int units) const;
    [[nodiscard]] QRect ToPixels(int x, int y, int width, int height) const;

private:
    int averageCharWidth_;
    int charHeight_;
};

}  // namespace vocell::qt
