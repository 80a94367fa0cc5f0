#include "platform/desktop/screen_metrics.h"

#include <QGuiApplication>
#include <QScreen>

namespace quillo {

namespace {
double twipsPerPixel(double dpi)
{
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}
}  // namespace

QScreen* QtScreenMetrics::screen()
{
    return QGuiApplication::primaryScreen();
}

double QtScreenMetrics::twipsPerPixelX() const
{
    QScreen* s = screen();
    return twipsPerPixel(s ? s->logicalDotsPerInchX() : 96.0);
}

double QtScreenMetrics::twipsPerPixelY() const
{
    QScreen* s = screen();
    return twipsPerPixel(s ? s->logicalDotsPerInchY() : 96.0);
}

double QtScreenMetrics::widthTwips() const
{
    QScreen* s = screen();
    return s ? s->geometry().width() * twipsPerPixelX() : 0.0;
}

double QtScreenMetrics::heightTwips() const
{
    QScreen* s = screen();
    return s ? s->geometry().height() * twipsPerPixelY() : 0.0;
}

}  // namespace quillo
