#pragma once

#include <QObject>
#include <QPointer>
#include <QWindow>
#include <QTimer>

#include <memory>

namespace quillo {

// Holds the keyboard for whichever of the program's windows is active, so a
// child's Alt+Tab, Super or Alt+Space never reaches the desktop and no other
// program can take the keys away. On X11 it is a keyboard grab on the active
// top-level window: it moves to the help box while that is open and comes back
// when it closes, and the pointer is never held. The keys the window manager
// would have taken (Alt+F4 among them) reach our own key handler instead.
// On Wayland the compositor is asked to inhibit its shortcuts for the active
// window instead; the request stays on the last active window while none is.
// Ends when the program does.
class ShortcutsInhibitor;

class KeyboardHold final : public QObject {
    Q_OBJECT
public:
    explicit KeyboardHold(QObject* parent = nullptr);
    ~KeyboardHold() override;
    KeyboardHold(const KeyboardHold&) = delete;
    KeyboardHold& operator=(const KeyboardHold&) = delete;

private:
    void follow(QWindow* window);
    void tryHold();
    void release();
    bool holdOnWayland(QWindow* window);

    QPointer<QWindow> wanted_;
    QPointer<QWindow> held_;
    QTimer retry_;
    bool x11_ = false;
    std::unique_ptr<ShortcutsInhibitor> inhibitor_;  // Wayland only
    int refusals_ = 0;
    bool saidRefused_ = false;
};

}  // namespace quillo
