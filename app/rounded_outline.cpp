#include "app/rounded_outline.h"

#include "app/parla.h"
#include "app/rounded_region.h"

namespace quillo {

void applyRoundedOutline(Parla& form, QWidget* control)
{
    const TwipsRect size = form.twips(control);
    const int w = twipsToPixels(size.width, form.twipsPerPixelX());
    const int h = twipsToPixels(size.height, form.twipsPerPixelY());
    const QRegion region = roundedRectRegion(w, h, form.CornerRadius, form.CornerRadius);
    if (region.isEmpty())
        control->clearMask();
    else
        control->setMask(region);
}

}  // namespace quillo
