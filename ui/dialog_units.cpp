#include "dialog_units.h"

#include <QFontMetrics>

namespace quillon {

namespace {

// The average width is taken over the Latin letters, as the window systems
// that invented dialog units do, rounded to the nearest pixel.
int averageLetterWidth(const QFontMetrics& metrics) {
    static const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
}

// Rounds units × base / divisor to the nearest pixel, halves away from zero.
int scale(int units, int base, int divisor) {
    const long long product = static_cast<long long>(units) * base;
    const long long half = divisor / 2;
    return static_cast<int>(product >= 0 ? (product + half) / divisor : (product - half) / divisor);
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font)
    : DialogUnits(averageLetterWidth(QFontMetrics(font)), QFontMetrics(font).height()) {}

DialogUnits DialogUnits::widenedToFit(int pixels, int units) const {
    if (units <= 0 || x(units) >= pixels) return *this;
    const int needed = (4 * pixels + units - 1) / units;  // rounded up
    return DialogUnits(needed, charHeight_);
}

int DialogUnits::x(int units) const { return scale(units, averageCharWidth_, 4); }
int DialogUnits::y(int units) const { return scale(units, charHeight_, 8); }

// Edges are rounded, not sizes: rectangles that meet in dialog units then
// meet in pixels too, instead of overlapping by a rounding.
QRect DialogUnits::toPixels(const QRect& units) const {
    const int left = x(units.x());
    const int top = y(units.y());
    return QRect(left, top, x(units.x() + units.width()) - left, y(units.y() + units.height()) - top);
}

QSize DialogUnits::toPixels(const QSize& units) const {
    return QSize(x(units.width()), y(units.height()));
}

}  // namespace quillon
