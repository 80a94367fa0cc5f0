#pragma once

#include <QObject>
#include <QPointer>
#include <QWindow>
#include <QTimer>
#include <QList>

#include <algorithm>
#include <memory>

namespace quillo {

// Holds the keyboard for whichever of the program's windows is active, so a
// child's Alt+Tab, Super or Alt+Space never reaches the desktop and no other
// program can take the keys away. On X11 it is a keyboard grab on the active
// top-level window: it moves to the help box while that is open and comes back
// when it closes, and the pointer is never held. The keys the window manager
// would have taken (Alt+F4 among them) reach our own key handler instead.
// On Wayland the compositor is asked to inhibit its shortcuts for every
// window of the program as it is shown (the window, the covers of the other
// screens), so they stay off wherever among them the focus goes. When the
// compositor lifts a request (GNOME's Super+Esc, or a "No" to its question),
// stderr says so, liftedChanged tells, and the request is made again the next
// time that window gets the focus. Ends when the program does.
class ShortcutsInhibitor;

// Whether this build can hold off a Wayland compositor's shortcuts at all
// (a build configured with QUILLO_WAYLAND_HOLD off cannot).
bool waylandHoldBuiltIn();

class KeyboardHold final : public QObject {
    Q_OBJECT
public:
    explicit KeyboardHold(QObject* parent = nullptr);
    ~KeyboardHold() override;
    KeyboardHold(const KeyboardHold&) = delete;
    KeyboardHold& operator=(const KeyboardHold&) = delete;

    // The compositor has lifted the hold on its shortcuts for one of our
    // windows, and has not put it back (Wayland).
    bool lifted() const
    {
        return std::any_of(lifted_.begin(), lifted_.end(), [](const QPointer<QWindow>& w) { return w != nullptr; });
    }

signals:
    void liftedChanged(bool lifted);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void follow(QWindow* window);
    void tryHold();
    void release();
    bool holdOnWayland(QWindow* window);
    void inhibitorChanged(QWindow* window, bool active);

    QPointer<QWindow> wanted_;
    QPointer<QWindow> held_;
    QTimer retry_;
    bool x11_ = false;
    std::unique_ptr<ShortcutsInhibitor> inhibitor_;  // Wayland only
    int refusals_ = 0;
    bool saidRefused_ = false;
    QList<QPointer<QWindow>> lifted_;  // Wayland: windows whose request was lifted
};

}  // namespace quillo
