#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

namespace quillon {

// Dialog units: a quarter of the dialog font's average character width
// across, an eighth of its height down. Laying a template out in them keeps
// its proportions at any font size.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    DialogUnits(int averageCharWidth, int charHeight)
        : averageCharWidth_(averageCharWidth), charHeight_(charHeight) {}

    // These units, widened where needed so that `pixels` fit into `units`
    // across: a face wider than the one a template was drawn for then keeps
    // the layout's proportions instead of clipping its captions.
    DialogUnits widenedToFit(int pixels, int units) const;

    int x(int units) const;
    int y(int units) const;
    QRect toPixels(const QRect& units) const;
    QSize toPixels(const QSize& units) const;

private:
    int averageCharWidth_;
    int charHeight_;
};

}  // namespace quillon
