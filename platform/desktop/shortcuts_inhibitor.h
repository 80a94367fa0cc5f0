#pragma once

#include <QPointer>
#include <QWindow>

#include <memory>

namespace quillo {

// Asks a Wayland compositor to keep its own shortcuts (Super, Alt+Tab, its
// key bindings) away while one of our windows has the keyboard, through the
// keyboard-shortcuts-inhibit protocol. The compositor applies it only while
// that window has the keyboard focus; GNOME asks the user once.
class ShortcutsInhibitor {
public:
    // Null when the compositor lacks the protocol; says so once on stderr.
    static std::unique_ptr<ShortcutsInhibitor> create();
    virtual ~ShortcutsInhibitor() = default;

    // Inhibits for WINDOW in place of any earlier one, and again each time the
    // window's surface is made anew (hidden and shown). False while the window
    // has no surface yet.
    virtual bool hold(QWindow* window) = 0;
    virtual void release() = 0;
};

}  // namespace quillo
