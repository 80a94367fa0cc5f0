#include "form/twips.h"

#include <cmath>
#include <limits>

namespace quillo {

int roundHalfEven(double value)
{
    if (std::isnan(value))
        return 0;
    constexpr double lo = std::numeric_limits<int>::min();
    constexpr double hi = std::numeric_limits<int>::max();
    if (value <= lo)
        return std::numeric_limits<int>::min();
    if (value >= hi)
        return std::numeric_limits<int>::max();
    return static_cast<int>(std::nearbyint(value));  // default rounding: to nearest, ties to even
}

int twipsToPixels(double twips, double twipsPerPixel)
{
    return roundHalfEven(twips / twipsPerPixel);
}

QRect twipsToPixels(const TwipsRect& rect, double twipsPerPixelX, double twipsPerPixelY)
{
    return QRect(twipsToPixels(rect.left, twipsPerPixelX), twipsToPixels(rect.top, twipsPerPixelY),
                 std::max(0, twipsToPixels(rect.width, twipsPerPixelX)),
                 std::max(0, twipsToPixels(rect.height, twipsPerPixelY)));
}

}  // namespace quillo
