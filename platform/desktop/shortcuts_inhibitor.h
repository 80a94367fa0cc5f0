#pragma once

#include <QPointer>
#include <QWindow>

#include <functional>
#include <memory>

namespace quillo {

// Asks a Wayland compositor to keep its own shortcuts (Super, Alt+Tab, its
// key bindings) away from our windows, through the keyboard-shortcuts-inhibit
// protocol: one request for each window held, so that wherever the focus
// goes among them the shortcuts stay off. The compositor applies a request
// only while its window has the keyboard focus; GNOME asks the user once, and
// may lift it later (Super+Esc).
class ShortcutsInhibitor {
public:
    // Null when the compositor lacks the protocol; says so once on stderr.
    static std::unique_ptr<ShortcutsInhibitor> create();
    virtual ~ShortcutsInhibitor() = default;

    // Inhibits for WINDOW too, and again each time the window's surface is
    // made anew (hidden and shown). False while the window has no surface yet.
    virtual bool hold(QWindow* window) = 0;
    // Asks anew for WINDOW, as for a window never held.
    virtual void renew(QWindow* window) = 0;
    virtual void release() = 0;

    // Called when the compositor puts WINDOW's request in force (true) or
    // lifts it (false).
    std::function<void(QWindow* window, bool active)> changed;
};
}  // namespace quillo
