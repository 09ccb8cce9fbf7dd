#pragma once
// Dialog units: the coordinates of a dialog template, scaled by the dialog font. One horizontal
// unit is a quarter of the font's average character width, one vertical unit an eighth of its
// character height, so a template keeps its proportions whatever font the desktop uses.

#include <QFont>
#include <QRect>

namespace vocell::qt {

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
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
