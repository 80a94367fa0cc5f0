// Stored settings texts: whatever a settings file holds, the conversions give
// a value in range or nothing, and what the save writes reads back the same.
#include "settings/setting_values.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));

    if (const auto v = quillo::parseInt16(text)) {
        if (quillo::parseInt16(QString::number(*v)) != v)
            std::abort();
    }
    if (const auto v = quillo::parseInt32(text)) {
        if (quillo::parseInt32(QString::number(*v)) != v)
            std::abort();
    }
    if (const auto v = quillo::parseCheckValue(text)) {
        if (*v < 0 || *v > 2)
            std::abort();
    }
    if (const auto size = quillo::parseFontSize(text)) {
        if (!std::isfinite(*size) || *size < 0)
            std::abort();
        const auto again = quillo::parseFontSize(quillo::formatFontSize(*size));
        if (*size > 0 && *size < 1e12 && (!again || std::fabs(*again - *size) > 1e-9 * *size + 1e-4))
            std::abort();
    }
    return 0;
}
