// Rounded outlines over extreme sizes and corners: never a crash, a hang or
// an empty outline for a control with room in it, and always inside the control.
#include "form/rounded_region.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 8)
        return 0;
    int16_t v[4];
    std::memcpy(v, data, sizeof v);
    // Sizes up to a very large screen; corners over the whole 16-bit range.
    const int w = std::abs(int(v[0])) % 8192;
    const int h = std::abs(int(v[1])) % 8192;
    const QRegion region = quillo::roundedRectRegion(w, h, v[2], v[3]);
    if (!QRect(0, 0, w, h).contains(region.boundingRect()) && !region.isEmpty())
        std::abort();
    if (w >= 3 && h >= 3 && region.isEmpty())
        std::abort();
    return 0;
}
