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

// True when there is a screen someone looks at: not Qt's offscreen or
// minimal platform, on which nothing is shown.
inline bool hasVisibleDisplay()
{
    const QString name = QGuiApplication::platformName();
    return name != QLatin1String("offscreen") && name != QLatin1String("minimal");
}

}  // namespace quillo
