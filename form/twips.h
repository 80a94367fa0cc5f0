#pragma once

#include <QRect>

class QWidget;

namespace quillo {

// Rounds to the nearest integer, halves to the even neighbour (7.5 -> 8,
// 6.5 -> 6), saturating at the ends of the 32-bit range.
int roundHalfEven(double value);

// A position and size in twips, 1440 to the inch.
struct TwipsRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// Twips to whole pixels.
int twipsToPixels(double twips, double twipsPerPixel);
QRect twipsToPixels(const TwipsRect& rect, double twipsPerPixelX, double twipsPerPixelY);

}  // namespace quillo
