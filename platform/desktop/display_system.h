#pragma once

#include <QGuiApplication>

namespace quillo {

// Which display system the program runs on, as Qt's platform plugin names it
// ("wayland", "wayland-egl", "xcb", ...).
inline bool onWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

inline bool onX11()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

}  // namespace quillo
